#include "shape/QoiResource.h"

#include <cstddef>
#include <optional>
#include <span>
#include <utility>

#include "shape/QoiPicture.h"

namespace perchette {

namespace {

// A top-down 32-bit DIB section of width × height pixels, and where its pixels are; null if the
// system cannot make it.
UniqueBitmap CreateDibSection(int32_t width, int32_t height, void** bits) {
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = width;
  format.bmiHeader.biHeight = -height;  // top-down
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  *bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, bits, nullptr, 0));
  return bitmap && *bits != nullptr ? std::move(bitmap) : UniqueBitmap{};
}

}  // namespace

UniqueBitmap LoadQoiResource(HINSTANCE instance, int resourceId) {
  const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
  const HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
  const auto* const bytes =
      static_cast<const uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  const DWORD size = found != nullptr ? SizeofResource(instance, found) : 0;
  if (bytes == nullptr || size == 0) return {};
  const std::span file(bytes, size);
  const std::optional<PictureSize> picture = QoiPictureSize(file);
  if (!picture) return {};

  void* bits = nullptr;
  UniqueBitmap bitmap = CreateDibSection(picture->width, picture->height, &bits);
  if (!bitmap) return {};  // no span over pixels that do not exist, even one that nothing reads
  const std::span pixels(static_cast<uint8_t*>(bits), static_cast<size_t>(picture->width) *
                                                          static_cast<size_t>(picture->height) * 4);
  if (!DecodeQoiPicture(file, pixels)) return {};
  return bitmap;
}

}  // namespace perchette
