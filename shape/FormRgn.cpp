#include "shape/FormRgn.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "base/Dpi.h"
#include "res/Resource.h"
#include "shape/QoiResource.h"
#include "shape/SpanScan.h"

namespace perchette {

namespace {

// The pictures of the resolutions other than the design one.
constexpr struct {
  int32_t dpi;
  int id;
} kQoiPictures[] = {{120, IDP_CHARACTER_120}, {144, IDP_CHARACTER_144}, {168, IDP_CHARACTER_168},
                    {192, IDP_CHARACTER_192}, {240, IDP_CHARACTER_240}, {288, IDP_CHARACTER_288}};

// The pixels of a DIB section of 24 or 32 bits per pixel, where the section keeps them; none for
// another bitmap. The section's header does not tell its row order (the system reports a positive
// height for both): the caller knows it.
DibPixels PixelsOf(HBITMAP bitmap, bool topDown) {
  DIBSECTION section{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof section, &section) != sizeof section ||
      section.dsBm.bmBits == nullptr ||
      (section.dsBm.bmBitsPixel != 24 && section.dsBm.bmBitsPixel != 32)) {
    return {};
  }
  const BITMAP& format = section.dsBm;
  const auto* const bits = static_cast<const uint8_t*>(format.bmBits);
  const ptrdiff_t rowBytes = format.bmWidthBytes;
  return {format.bmWidth, format.bmHeight, topDown ? bits : bits + (format.bmHeight - 1) * rowBytes,
          topDown ? rowBytes : -rowBytes, format.bmBitsPixel / 8};
}

// One region of all the rectangles, made in one call; null if the system refuses it.
UniqueRegion RegionOf(const std::vector<SpanRect>& rects) {
  static_assert(sizeof(SpanRect) == sizeof(RECT) && offsetof(SpanRect, left) == 0 &&
                offsetof(SpanRect, top) == 4 && offsetof(SpanRect, right) == 8 &&
                offsetof(SpanRect, bottom) == 12);
  RGNDATAHEADER header{sizeof header, RDH_RECTANGLES, static_cast<DWORD>(rects.size()), 0, {}};
  if (!rects.empty()) header.rcBound = {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const SpanRect& rect : rects) {
    header.rcBound.left = std::min<LONG>(header.rcBound.left, rect.left);
    header.rcBound.top = std::min<LONG>(header.rcBound.top, rect.top);
    header.rcBound.right = std::max<LONG>(header.rcBound.right, rect.right);
    header.rcBound.bottom = std::max<LONG>(header.rcBound.bottom, rect.bottom);
  }
  std::vector<std::byte> data(sizeof header + rects.size() * sizeof(RECT));
  std::memcpy(data.data(), &header, sizeof header);
  if (!rects.empty()) {
    std::memcpy(data.data() + sizeof header, rects.data(), rects.size() * sizeof(RECT));
  }
  return UniqueRegion(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                      reinterpret_cast<const RGNDATA*>(data.data())));
}

}  // namespace

void TFormRgn::LoadPicture(HINSTANCE instance, int32_t artDpi) {
  pictureDpi_ = kDesignDpi;
  picture_.reset();
  for (const auto& qoi : kQoiPictures) {
    if (qoi.dpi != artDpi) continue;
    picture_ = LoadQoiResource(instance, qoi.id);  // top-down
    if (picture_) pictureDpi_ = artDpi;
  }
  pictureTopDown_ = static_cast<bool>(picture_);
  if (!picture_) {  // bottom-up, as the bitmap resource is stored
    picture_.reset(static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(IDB_CHARACTER),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  }
  BITMAP info{};
  if (picture_ && GetObjectW(picture_.get(), sizeof info, &info) != 0) {
    pictureWidth_ = info.bmWidth;
    pictureHeight_ = info.bmHeight;
  }
  if (autoSize_) SetBounds(left_, top_, pictureWidth_, pictureHeight_);
}

void TFormRgn::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  left_ = left;
  top_ = top;
  width_ = autoSize_ && picture_ ? pictureWidth_ : width;
  height_ = autoSize_ && picture_ ? pictureHeight_ : height;
}

void TFormRgn::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  SetBounds(left_, top_, width_, height_);
}

void TFormRgn::Paint(HDC dc) const {
  if (!picture_) return;
  UniqueMemoryDc source(CreateCompatibleDC(dc));
  ScopedSelect select(source.get(), picture_.get());
  BitBlt(dc, left_, top_, pictureWidth_, pictureHeight_, source.get(), 0, 0, SRCCOPY);
}

void TFormRgn::BuildRegion() {
  const HWND parent = parentHandle_ ? parentHandle_() : nullptr;
  // The pixels are read where the bitmap keeps them and the region made in one call: reading them
  // one at a time and uniting one rectangle per span costs tens of milliseconds at the larger
  // scales.
  const DibPixels pixels = PixelsOf(picture_.get(), pictureTopDown_);
  // Each build starts a new region. The previous one is left alone: a window that took it frees
  // it when it takes the new one, and one it refused is freed here.
  UniqueRegion region =
      RegionOf(SpanRectangles(pixels, width_, height_, TransparentColor, ParentOffset(parent)));
  FRegion = region.get();
  // Without a region the window keeps the shape it has.
  if (FRegion != nullptr && parent != nullptr && SetWindowRgn(parent, FRegion, TRUE) != 0) {
    region.release();  // the window owns the region now and frees it with itself
  }
  refusedRegion_ = std::move(region);
}

SpanOffset TFormRgn::ParentOffset(HWND parent) const {
  RECT outer{};
  RECT client{};
  if (parent != nullptr) {
    GetWindowRect(parent, &outer);
    GetClientRect(parent, &client);
  }
  return SpanOffsets(left_, top_, outer.right - outer.left, outer.bottom - outer.top,
                     client.right - client.left, client.bottom - client.top);
}

}  // namespace perchette
