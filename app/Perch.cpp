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

bool Within(const ScreenRect& rect, const ScreenRect& display) {
  return rect.left >= display.left && rect.top >= display.top && rect.right <= display.right &&
         rect.bottom <= display.bottom;
}

}  // namespace

PerchPoint PerchPosition(int32_t foregroundRight, int32_t foregroundTop, int32_t offsetX,
                         int32_t offsetY) {
  return {SaturatingDifference(foregroundRight, offsetX),
          SaturatingDifference(foregroundTop, offsetY)};
}

bool PerchScale::Perch(const ScreenRect& foreground, const AskDisplay& ask) {
  if (asked_.dpi == 0 || !(foreground == askedFor_ || Within(foreground, asked_.bounds))) {
    askedFor_ = foreground;
    asked_ = ask(foreground);
  }
  return Take(asked_.dpi);
}

bool PerchScale::Notice(int32_t dpi, const ScreenRect& herDisplay) {
  if (ownMoves_ != 0) return false;
  // Before her first perch no display decides her scale yet: the news does.
  if (asked_.dpi == 0) return Take(dpi);
  // The scale of her perch's display has changed, and perhaps others with it.
  if (dpi > 0 && herDisplay == asked_.bounds) {
    asked_.dpi = dpi;
    return Take(dpi);
  }
  // News of another display, where her window hangs over: the next perch asks and decides.
  DisplaysChanged();
  return false;
}

}  // namespace perchette
