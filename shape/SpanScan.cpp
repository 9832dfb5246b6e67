#include "shape/SpanScan.h"

namespace perchette {

SpanOffset SpanOffsets(int32_t controlLeft, int32_t controlTop, int32_t outerWidth,
                       int32_t outerHeight, int32_t clientWidth, int32_t clientHeight) {
  // 64-bit arithmetic: C++ division truncates toward zero, as the frame computation wants.
  const int64_t border = (int64_t{outerWidth} - clientWidth) / 2;
  const int64_t dx = controlLeft + border;
  const int64_t dy = controlTop + (int64_t{outerHeight} - clientHeight) - border;
  return {static_cast<int32_t>(dx), static_cast<int32_t>(dy)};
}

}  // namespace perchette
