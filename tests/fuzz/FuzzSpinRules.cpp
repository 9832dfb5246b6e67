// The spin box's value rules against the model: reading, stepping and the fix on leaving.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "base/IntText.h"
#include "settings/SpinRules.h"
#include "tests/fuzz/Models.h"

namespace {

int32_t Take(const uint8_t*& data, size_t& size) {
  int32_t value = 0;
  const size_t n = std::min(size, sizeof value);
  std::memcpy(&value, data, n);
  data += n;
  size -= n;
  return value;
}

// Bounds that are equal hold nothing; otherwise a value below the lower bound becomes the lower
// bound, and any other is at most the upper one. So where the lower bound is the larger, every
// value not below it becomes the upper bound.
int64_t Held(int64_t value, perchette::SpinBounds b) {
  if (b.min == b.max) return value;
  return value < b.min ? b.min : std::min<int64_t>(value, b.max);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int32_t low = Take(data, size) % 100;
  // The upper bound may lie below the lower one.
  int32_t high = low + Take(data, size) % 100;
  const int32_t increment = Take(data, size) % 3;
  const perchette::SpinBounds bounds{low, high};
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const auto parsed = model::ParseInt(text);
  const int64_t value = parsed ? *parsed : bounds.min;
  if (perchette::ReadSpinValue(text, bounds) != value) std::abort();

  // A step adds without overflow and holds the result within the bounds and 32 bits.
  const int64_t stepped =
      std::clamp<int64_t>(Held(value + increment, bounds), INT32_MIN, INT32_MAX);
  if (perchette::StepText(text, increment, bounds) != std::to_string(stepped)) std::abort();

  const auto replacement = perchette::TextOnLeave(text, bounds);
  const bool outside = parsed && (*parsed < bounds.min || *parsed > bounds.max);
  if (replacement.has_value() != outside) std::abort();
  if (replacement && *replacement != std::to_string(Held(*parsed, bounds))) std::abort();
  return 0;
}
