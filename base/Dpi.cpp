#include "base/Dpi.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace perchette {

int32_t ScaleForDpi(int32_t value, int32_t dpi) {
  const int64_t product = int64_t{value} * dpi;
  const int64_t magnitude = (std::abs(product) + kDesignDpi / 2) / kDesignDpi;
  const int64_t scaled = product < 0 ? -magnitude : magnitude;
  return static_cast<int32_t>(std::clamp<int64_t>(scaled, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

int32_t NearestArtDpi(int32_t dpi) {
  int32_t best = kArtDpis.front();
  for (const int32_t art : kArtDpis) {
    // Both distances fit easily in 64 bits, whatever dpi is.
    if (std::abs(int64_t{art} - dpi) <= std::abs(int64_t{best} - dpi)) best = art;
  }
  return best;
}

}  // namespace perchette
