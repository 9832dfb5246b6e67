#include "shape/PackedResource.h"

#include <cstring>
#include <optional>
#include <span>

#include "shape/PackedPicture.h"

namespace perchette {

UniqueBitmap LoadPackedResource(HINSTANCE instance, int resourceId) {
  const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
  const HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
  const auto* const bytes =
      static_cast<const uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  const DWORD size = found != nullptr ? SizeofResource(instance, found) : 0;
  if (bytes == nullptr || size == 0) return {};
  const std::optional<PackedPicture> picture = DecodePackedPicture(std::span(bytes, size));
  if (!picture) return {};

  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = picture->width;
  format.bmiHeader.biHeight = -picture->height;  // top-down, as the pixels come
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return {};
  std::memcpy(bits, picture->pixels.data(), picture->pixels.size() * sizeof picture->pixels[0]);
  return bitmap;
}

}  // namespace perchette
