#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace perchette {

// A run of non-transparent pixels in one row; end is exclusive.
struct Span {
  int32_t first, end, row;
  friend bool operator==(const Span&, const Span&) = default;
};

// Scans rows 0..height-1 top to bottom and each row's columns left to right, and calls
// addSpan(first, end, row) for every run of pixels whose colour differs from transparent, as soon
// as the run's end is found. Colours are compared raw (0x00BBGGRR), without tolerance.
template <class PixelAt, class AddSpan>
void ScanSpans(int32_t width, int32_t height, uint32_t transparent, PixelAt&& pixelAt,
               AddSpan&& addSpan) {
  for (int32_t row = 0; row < height; ++row) {
    bool inSpan = false;
    int32_t first = 0;
    for (int32_t column = 0; column < width; ++column) {
      const bool opaque = static_cast<uint32_t>(pixelAt(column, row)) != transparent;
      if (opaque && !inSpan) {
        first = column;
      } else if (!opaque && inSpan) {
        addSpan(first, column, row);
      }
      inSpan = opaque;
    }
    if (inSpan) addSpan(first, width, row);
  }
}

// Where picture pixel (0, 0) lies in the parent window's own coordinates, whose origin is the
// window's outer top-left corner.
struct SpanOffset {
  int32_t dx, dy;
};

// The side border b is half the horizontal frame (truncated toward zero); the bottom border is
// taken to be as wide as a side border, so the top offset is the whole vertical frame less b.
SpanOffset SpanOffsets(int32_t controlLeft, int32_t controlTop, int32_t outerWidth,
                       int32_t outerHeight, int32_t clientWidth, int32_t clientHeight);

// A picture's pixels as a device-independent bitmap of 24 or 32 bits per pixel holds them: each
// pixel's bytes are blue, green, red (and one unused at 32 bits); rows lie rowStep bytes apart,
// negative for a bitmap stored bottom-up.
struct DibPixels {
  int32_t width = 0, height = 0;
  const uint8_t* topRow = nullptr;
  ptrdiff_t rowStep = 0;
  int32_t bytesPerPixel = 4;
};

// The colour of pixel (x, y) as 0x00BBGGRR. A position outside the picture reads as 0xFFFFFFFF,
// the invalid colour, which equals no colour of a real pixel.
uint32_t ColourAt(const DibPixels& picture, int32_t x, int32_t y);

// A rectangle in the parent window's coordinates; right and bottom are exclusive.
struct SpanRect {
  int32_t left, top, right, bottom;
  friend bool operator==(const SpanRect&, const SpanRect&) = default;
};

// The spans of a width x height area laid over the picture, as ScanSpans finds them, each made a
// rectangle one pixel high and moved by offset: what a region of the picture's shape is made of.
std::vector<SpanRect> SpanRectangles(const DibPixels& picture, int32_t width, int32_t height,
                                     uint32_t transparent, SpanOffset offset);

}  // namespace perchette
