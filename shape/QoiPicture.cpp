#include "shape/QoiPicture.h"

#include <climits>
#include <cstddef>
#include <utility>

namespace perchette {
namespace {

// The pixels that the decoder's one allocation receives: the decoder writes straight into them.
// The program has one thread; so do the unit tests.
std::span<uint8_t> decodeTarget;

void* TakeDecodeTarget(size_t size) {
  if (size != decodeTarget.size()) return nullptr;
  return std::exchange(decodeTarget, {}).data();
}

}  // namespace
}  // namespace perchette

#define QOI_NO_STDIO
#define QOI_IMPLEMENTATION
#define QOI_MALLOC(size) perchette::TakeDecodeTarget(size)
#define QOI_FREE(pointer) static_cast<void>(pointer)  // the pixels stay their owner's
#include "qoi.h"

namespace perchette {

namespace {

constexpr size_t kHeaderBytes = 14;

int64_t BigEndian32(std::span<const uint8_t, 4> bytes) {
  return int64_t{bytes[0]} << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
}

}  // namespace

std::optional<PictureSize> QoiPictureSize(std::span<const uint8_t> file) {
  if (file.size() < kHeaderBytes || file[0] != 'q' || file[1] != 'o' || file[2] != 'i' ||
      file[3] != 'f') {
    return std::nullopt;
  }
  const int64_t width = BigEndian32(file.subspan<4, 4>());
  const int64_t height = BigEndian32(file.subspan<8, 4>());
  if (width < 1 || width > kLargestPictureSide || height < 1 || height > kLargestPictureSide) {
    return std::nullopt;
  }
  return PictureSize{static_cast<int32_t>(width), static_cast<int32_t>(height)};
}

bool DecodeQoiPicture(std::span<const uint8_t> file, std::span<uint8_t> pixels) {
  const std::optional<PictureSize> size = QoiPictureSize(file);
  if (!size || file.size() > INT_MAX ||
      pixels.size() != static_cast<size_t>(size->width) * static_cast<size_t>(size->height) * 4) {
    return false;
  }
  decodeTarget = pixels;
  qoi_desc description{};
  const void* const decoded =
      qoi_decode(file.data(), static_cast<int>(file.size()), &description, 4);
  decodeTarget = {};
  if (decoded == nullptr) return false;
  // Red, green, blue, alpha as decoded; blue, green, red, 0 as the bitmap holds them.
  for (size_t at = 0; at < pixels.size(); at += 4) {
    std::swap(pixels[at], pixels[at + 2]);
    pixels[at + 3] = 0;
  }
  return true;
}

}  // namespace perchette
