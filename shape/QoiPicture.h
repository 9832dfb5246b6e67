// The character's pictures for the larger display scales are QOI files ("Quite OK Image"),
// decoded by the format's reference codec, qoi.h.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace perchette {

struct PictureSize {
  int32_t width = 0, height = 0;
};

// Larger than any picture of the program: a side beyond it is refused before anything is made.
inline constexpr int32_t kLargestPictureSide = 4096;

// The size in a QOI file's header (the signature "qoif", then the width and the height as 32-bit
// big-endian numbers); nothing for a file without that header or with a side of 0 or above
// kLargestPictureSide.
std::optional<PictureSize> QoiPictureSize(std::span<const uint8_t> file);

// Decodes a QOI file straight into pixels, which must be exactly the picture's width × height
// 32-bit pixels, top-down, as a 32-bit device-independent bitmap holds them: blue, green, red and
// 0 in each. False, with the pixels undefined, for a file that QoiPictureSize or the decoder
// refuses.
bool DecodeQoiPicture(std::span<const uint8_t> file, std::span<uint8_t> pixels);

}  // namespace perchette
