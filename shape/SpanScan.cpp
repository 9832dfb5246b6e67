#include "shape/SpanScan.h"

namespace perchette {

SpanOffset SpanOffsets(int32_t controlLeft, int32_t controlTop, int32_t outerWidth,
                       int32_t outerHeight, int32_t clientWidth, int32_t clientHeight) {
  // 64-bit arithmetic: C++ division truncates toward zero, as the frame computation wants.
  const int64_t border = (int64_t{outerWidth} - clientWidth) / 2;
  const int64_t dx = controlLeft + border;
  const int64_t dy = controlTop + (int64_t{outerHeight} - clientHeight) - border;
  return {static_cast<int32_t>(dx), static_cast<int32_t>(dy)};
}

uint32_t ColourAt(const DibPixels& picture, int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return 0xFFFFFFFF;
  const uint8_t* const pixel = picture.topRow + y * picture.rowStep + x * picture.bytesPerPixel;
  return uint32_t{pixel[0]} << 16 | uint32_t{pixel[1]} << 8 | pixel[2];
}

std::vector<SpanRect> SpanRectangles(const DibPixels& picture, int32_t width, int32_t height,
                                     uint32_t transparent, SpanOffset offset) {
  std::vector<SpanRect> rects;
  ScanSpans(
      width, height, transparent, [&](int32_t x, int32_t y) { return ColourAt(picture, x, y); },
      [&](int32_t first, int32_t end, int32_t row) {
        rects.push_back({first + offset.dx, row + offset.dy, end + offset.dx, row + offset.dy + 1});
      });
  return rects;
}

}  // namespace perchette
