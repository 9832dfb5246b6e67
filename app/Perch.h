#pragma once

#include <cstdint>
#include <optional>

namespace perchette {

// A window's recorded left, top, width and height in screen pixels.
struct Bounds {
  int32_t left, top, width, height;
  friend bool operator==(const Bounds&, const Bounds&) = default;
};

struct PerchPoint {
  int32_t left, top;
};

// How far the character's window stands left of the foreground window's right edge and above
// its top edge.
inline constexpr int32_t kPerchOffsetX = 150, kPerchOffsetY = 109;

// Where the character's window goes: foregroundRight - offsetX, foregroundTop - offsetY.
PerchPoint PerchPosition(int32_t foregroundRight, int32_t foregroundTop, int32_t offsetX,
                         int32_t offsetY);

enum class BoundsField { kLeft, kTop, kWidth, kHeight };

// Setting one of Left, Top, Width or Height: the rectangle formed from the new value and the
// other three recorded ones, or nullopt when it equals the recorded rectangle (nothing to move).
std::optional<Bounds> ChangedBounds(const Bounds& recorded, BoundsField field, int32_t value);

}  // namespace perchette
