#pragma once

#include <cstdint>

namespace perchette {

struct PerchPoint {
  int32_t left, top;
};

// How far the character's window stands left of the foreground window's right edge and above
// its top edge.
inline constexpr int32_t kPerchOffsetX = 150, kPerchOffsetY = 109;

// Where the character's window goes: foregroundRight - offsetX, foregroundTop - offsetY.
PerchPoint PerchPosition(int32_t foregroundRight, int32_t foregroundTop, int32_t offsetX,
                         int32_t offsetY);

}  // namespace perchette
