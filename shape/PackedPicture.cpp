#include "shape/PackedPicture.h"

#include <array>
#include <cstddef>

namespace perchette {

namespace {

constexpr size_t kHeaderBytes = 8;
constexpr uint8_t kColourChunk = 0xFE;
constexpr int kLongestRun = 62;

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

size_t CacheSlot(Rgb colour) { return (colour.r * 3u + colour.g * 5u + colour.b * 7u) % 64u; }

uint8_t Changed(uint8_t channel, int change) { return static_cast<uint8_t>(channel + change); }

}  // namespace

std::optional<PackedPicture> DecodePackedPicture(std::span<const uint8_t> file) {
  if (file.size() < kHeaderBytes || file[0] != 'P' || file[1] != 'P' || file[2] != 'K' ||
      file[3] != '1') {
    return std::nullopt;
  }
  PackedPicture picture;
  picture.width = file[4] | file[5] << 8;
  picture.height = file[6] | file[7] << 8;
  if (picture.width == 0 || picture.height == 0 || picture.width > kLargestPackedSide ||
      picture.height > kLargestPackedSide) {
    return std::nullopt;
  }
  const size_t count = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
  picture.pixels.reserve(count);
  std::array<Rgb, 64> cache{};
  Rgb colour;
  size_t at = kHeaderBytes;
  while (picture.pixels.size() < count) {
    if (at >= file.size()) return std::nullopt;
    const uint8_t chunk = file[at++];
    const int low = chunk & 0x3F;
    int repeat = 1;
    switch (chunk >> 6) {
      case 0:
        colour = cache[static_cast<size_t>(low)];
        break;
      case 1:
        colour = {Changed(colour.r, (low >> 4) - 2), Changed(colour.g, (low >> 2 & 3) - 2),
                  Changed(colour.b, (low & 3) - 2)};
        break;
      case 2: {
        if (at >= file.size()) return std::nullopt;
        const uint8_t second = file[at++];
        const int green = low - 32;
        colour = {Changed(colour.r, green + (second >> 4) - 8), Changed(colour.g, green),
                  Changed(colour.b, green + (second & 0x0F) - 8)};
        break;
      }
      default:
        if (chunk == kColourChunk) {
          if (file.size() - at < 3) return std::nullopt;
          colour = {file[at], file[at + 1], file[at + 2]};
          at += 3;
        } else if (low < kLongestRun) {
          repeat = low + 1;
          if (static_cast<size_t>(repeat) > count - picture.pixels.size()) return std::nullopt;
        } else {
          return std::nullopt;
        }
        break;
    }
    cache[CacheSlot(colour)] = colour;
    const uint32_t pixel = uint32_t{colour.r} << 16 | uint32_t{colour.g} << 8 | colour.b;
    picture.pixels.insert(picture.pixels.end(), static_cast<size_t>(repeat), pixel);
  }
  if (at != file.size()) return std::nullopt;
  return picture;
}

}  // namespace perchette
