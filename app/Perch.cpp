#include "app/Perch.h"

#include <algorithm>
#include <limits>

namespace perchette {
namespace {

// Screen coordinates never come near the limits of 32 bits, but a bogus rectangle must not
// overflow: such a position is held at the nearest representable one.
int32_t SaturatingDifference(int32_t a, int32_t b) {
  const int64_t difference = int64_t{a} - int64_t{b};
  return static_cast<int32_t>(std::clamp<int64_t>(difference, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

PerchPoint PerchPosition(int32_t foregroundRight, int32_t foregroundTop, int32_t offsetX,
                         int32_t offsetY) {
  return {SaturatingDifference(foregroundRight, offsetX),
          SaturatingDifference(foregroundTop, offsetY)};
}

bool PerchScale::Perch(const ScreenRect& foreground, const AskDisplay& ask) {
  const ScreenRect& display = asked_.bounds;
  const bool within = foreground.left >= display.left && foreground.top >= display.top &&
                      foreground.right <= display.right && foreground.bottom <= display.bottom;
  if (asked_.dpi == 0 || !(foreground == askedFor_ || within)) {
    askedFor_ = foreground;
    asked_ = ask(foreground);
  }
  return Take(asked_.dpi);
}

bool PerchScale::Notice(int32_t dpi) {
  if (ownMoves_ != 0) return false;
  // The scale of her display has changed, and perhaps others with it.
  DisplaysChanged();
  return Take(dpi);
}

}  // namespace perchette
