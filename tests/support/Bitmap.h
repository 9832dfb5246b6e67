// Reads the committed picture files, for the tests that compare the program's shapes with them.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace perchette {

// A picture as 0x00BBGGRR colours, top row first.
struct Picture {
  // What a position outside the picture reads as: the "invalid colour" that reading a pixel
  // outside a bitmap gives, which no colour of a real pixel equals.
  static constexpr uint32_t kOutside = 0xFFFFFFFF;

  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int32_t x, int32_t y) const;
};

// Reads a 24-bit uncompressed Windows bitmap file, stored bottom-up or top-down with its rows
// padded to 4 bytes. Throws AppError for any other or damaged file.
Picture ReadBmp24(std::span<const uint8_t> fileBytes);

}  // namespace perchette
