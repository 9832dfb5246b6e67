#include "tests/support/Bitmap.h"

#include <limits>

#include "base/AppError.h"

namespace perchette {
namespace {

constexpr char kNotABitmapText[] = "24 ビットの非圧縮ビットマップではありません";

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;  // the smallest header with 32-bit width and height
constexpr uint32_t kUncompressed = 0;    // BI_RGB

[[noreturn]] void RejectBitmap() { throw AppError(kNotABitmapText); }

uint32_t ReadU32(std::span<const uint8_t> bytes, size_t at) {
  return uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16 |
         uint32_t{bytes[at + 3]} << 24;
}

uint16_t ReadU16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

int32_t ReadI32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<int32_t>(ReadU32(bytes, at));
}

struct BitmapLayout {
  int32_t width, height;
  bool topDown;
  uint64_t pixelOffset, rowBytes;
};

BitmapLayout ReadLayout(std::span<const uint8_t> file) {
  if (file.size() < kFileHeaderBytes + kInfoHeaderBytes || file[0] != 'B' || file[1] != 'M') {
    RejectBitmap();
  }
  const uint32_t infoSize = ReadU32(file, 14);
  const int32_t width = ReadI32(file, 18);
  const int32_t storedHeight = ReadI32(file, 22);
  // Later headers (V4, V5) extend the 40-byte one and keep its first fields.
  if (infoSize < kInfoHeaderBytes || infoSize > file.size() - kFileHeaderBytes ||
      ReadU16(file, 26) != 1 || ReadU16(file, 28) != 24 || ReadU32(file, 30) != kUncompressed) {
    RejectBitmap();
  }
  if (width <= 0 || storedHeight == 0 || storedHeight == std::numeric_limits<int32_t>::min()) {
    RejectBitmap();
  }
  BitmapLayout layout{width, storedHeight < 0 ? -storedHeight : storedHeight, storedHeight < 0,
                      ReadU32(file, 10), (uint64_t{3} * static_cast<uint32_t>(width) + 3) / 4 * 4};
  // The pixel count is bounded by the file's size, so nothing below can overflow or read past it.
  const uint64_t pixelBytes = layout.rowBytes * static_cast<uint32_t>(layout.height);
  if (layout.pixelOffset < kFileHeaderBytes + infoSize || layout.pixelOffset > file.size() ||
      pixelBytes > file.size() - layout.pixelOffset) {
    RejectBitmap();
  }
  return layout;
}

}  // namespace

uint32_t Picture::At(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return kOutside;
  return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
}

Picture ReadBmp24(std::span<const uint8_t> fileBytes) {
  const BitmapLayout layout = ReadLayout(fileBytes);
  Picture picture;
  picture.width = layout.width;
  picture.height = layout.height;
  picture.pixels.reserve(static_cast<size_t>(layout.width) * static_cast<size_t>(layout.height));
  for (int32_t y = 0; y < layout.height; ++y) {
    const int32_t storedRow = layout.topDown ? y : layout.height - 1 - y;
    size_t at = static_cast<size_t>(layout.pixelOffset +
                                    layout.rowBytes * static_cast<uint32_t>(storedRow));
    for (int32_t x = 0; x < layout.width; ++x, at += 3) {
      // Stored blue, green, red; kept as 0x00BBGGRR.
      picture.pixels.push_back(uint32_t{fileBytes[at]} << 16 | uint32_t{fileBytes[at + 1]} << 8 |
                               uint32_t{fileBytes[at + 2]});
    }
  }
  return picture;
}

}  // namespace perchette
