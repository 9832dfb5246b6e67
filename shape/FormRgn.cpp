#include "shape/FormRgn.h"

#include <utility>

#include "base/Dpi.h"
#include "res/Resource.h"
#include "shape/PngResource.h"
#include "shape/SpanScan.h"

namespace perchette {

namespace {

// The PNG resources of the resolutions other than the design one.
constexpr struct {
  int32_t dpi;
  int id;
} kPngPictures[] = {{120, IDP_CHARACTER_120}, {144, IDP_CHARACTER_144}, {168, IDP_CHARACTER_168},
                    {192, IDP_CHARACTER_192}, {240, IDP_CHARACTER_240}, {288, IDP_CHARACTER_288}};

}  // namespace

void TFormRgn::LoadPicture(HINSTANCE instance, int32_t artDpi) {
  pictureDpi_ = kDesignDpi;
  picture_.reset();
  for (const auto& png : kPngPictures) {
    if (png.dpi != artDpi) continue;
    picture_ = LoadPngResource(instance, png.id);
    if (picture_) pictureDpi_ = artDpi;
  }
  if (!picture_) {
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
  // Each build starts a new region. The previous one is left alone: a window that took it frees
  // it when it takes the new one, and one it refused is freed here.
  UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
  FRegion = region.get();
  UniqueMemoryDc source(CreateCompatibleDC(nullptr));
  ScopedSelect select(source.get(), picture_.get());
  // GetPixel gives CLR_INVALID outside the picture, which matches no colour: such places count
  // as part of the shape, as they do for a control larger than its picture.
  ScanSpans(
      width_, height_, TransparentColor,
      [&](int32_t x, int32_t y) { return static_cast<uint32_t>(GetPixel(source.get(), x, y)); },
      [&](int32_t first, int32_t end, int32_t row) { AddSpan(first, end, row); });
  if (parent != nullptr && SetWindowRgn(parent, FRegion, TRUE) != 0) {
    region.release();  // the window owns the region now and frees it with itself
  }
  refusedRegion_ = std::move(region);
}

void TFormRgn::AddSpan(int32_t first, int32_t end, int32_t row) {
  const HWND parent = parentHandle_ ? parentHandle_() : nullptr;
  RECT outer{};
  RECT client{};
  if (parent != nullptr) {
    GetWindowRect(parent, &outer);
    GetClientRect(parent, &client);
  }
  const SpanOffset offset =
      SpanOffsets(left_, top_, outer.right - outer.left, outer.bottom - outer.top,
                  client.right - client.left, client.bottom - client.top);
  UniqueRegion line(
      CreateRectRgn(first + offset.dx, row + offset.dy, end + offset.dx, row + offset.dy + 1));
  CombineRgn(FRegion, FRegion, line.get(), RGN_OR);
}

}  // namespace perchette
