// The character's pictures for the larger display scales, packed by scripts/make-art in a small
// format of the program's own that decodes in one quick pass, with no system component.
//
// A file is the 4 bytes "PPK1", the width and the height as 16-bit little-endian numbers, then
// chunks until every pixel of the picture, top row first and left to right in a row, is known.
// Each chunk gives the next pixel or pixels from the previous pixel (black before the first) and
// from a cache of 64 recent colours, in which colour (r, g, b) sits at (3r + 5g + 7b) % 64:
//   00iiiiii           the colour in cache entry i
//   01rrggbb           the previous colour, each channel changed by its two bits less 2 (-2..1)
//   10gggggg rrrrbbbb  green changed by g less 32 (-32..31), red and blue by green's change plus
//                      their four bits less 8 (-8..7)
//   11nnnnnn           the previous colour n + 1 times more (n below 62)
//   11111110 r g b     the colour given
// Channels wrap around modulo 256. Every colour given or changed is put into the cache.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace perchette {

// A decoded picture: top-down rows of pixels as a 32-bit device-independent bitmap holds them,
// 0x00RRGGBB.
struct PackedPicture {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

// Larger than any picture of the program; the pixel count then stays well within 32 bits.
inline constexpr int32_t kLargestPackedSide = 4096;

// Nothing for a file that is not exactly one whole picture of this format: a wrong signature, a
// side of 0 or above kLargestPackedSide, an unknown chunk, a run past the last pixel, a chunk cut
// off, or bytes left over after the last pixel.
std::optional<PackedPicture> DecodePackedPicture(std::span<const uint8_t> file);

}  // namespace perchette
