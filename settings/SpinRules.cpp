#include "settings/SpinRules.h"

#include <algorithm>
#include <limits>

#include "base/IntText.h"

namespace perchette {

int32_t ReadSpinValue(std::string_view text, SpinBounds b) {
  return ParseIntText(text).value_or(b.min);
}

int32_t HoldWithin(int32_t value, SpinBounds b) {
  if (b.min == b.max) return value;
  // Tested one after the other rather than with std::clamp, which is undefined for min > max.
  if (value < b.min) return b.min;
  if (value > b.max) return b.max;
  return value;
}

std::string SpinTextFor(int32_t value, SpinBounds b) { return IntToText(HoldWithin(value, b)); }

std::string StepText(std::string_view text, int32_t increment, SpinBounds b) {
  // A step beyond the 32-bit range stops at its end: the sum is held before it is narrowed.
  const int64_t sum = int64_t{ReadSpinValue(text, b)} + increment;
  const int64_t within32 = std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                               std::numeric_limits<int32_t>::max());
  return SpinTextFor(static_cast<int32_t>(within32), b);
}

std::optional<std::string> TextOnLeave(std::string_view text, SpinBounds b) {
  const std::optional<int32_t> value = ParseIntText(text);
  if (!value || (*value >= b.min && *value <= b.max)) return std::nullopt;
  return SpinTextFor(*value, b);
}

bool AcceptsSpinChar(char32_t ch, char32_t decimalSeparator) {
  const bool control = ch < U' ' || ch == U'\x7F';
  if (control) return ch != U'\r';
  return (ch >= U'0' && ch <= U'9') || ch == U'+' || ch == U'-' || ch == decimalSeparator;
}

void AutoRepeat::Press(uint32_t now) {
  pressed_ = true;
  pointerOn_ = true;
  pending_ = 0;
  nextDue_ = now + kFirstDelayMs;
}

int AutoRepeat::TakeDueSteps(uint32_t now) {
  if (!pressed_ || !pointerOn_) return 0;
  // The signed difference keeps the comparison right across the wrap of a 32-bit tick count.
  const int32_t sinceDue = static_cast<int32_t>(now - nextDue_);
  if (sinceDue < 0) return 0;
  const uint32_t steps = static_cast<uint32_t>(sinceDue) / kRepeatMs + 1;
  nextDue_ += steps * kRepeatMs;
  return static_cast<int>(steps);
}

int AutoRepeat::Advance(uint32_t now) {
  const int steps = pending_ + TakeDueSteps(now);
  pending_ = 0;
  return steps;
}

void AutoRepeat::PointerOff(uint32_t now) {
  pending_ += TakeDueSteps(now);
  pointerOn_ = false;
}

void AutoRepeat::PointerOn(uint32_t now) {
  if (!pressed_ || pointerOn_) return;
  pointerOn_ = true;
  nextDue_ = now + kRepeatMs;
}

int AutoRepeat::Release(uint32_t now, bool overButton) {
  if (!pressed_) return 0;
  const int steps = Advance(now) + (overButton ? 1 : 0);
  pressed_ = false;
  pointerOn_ = false;
  return steps;
}

uint32_t AutoRepeat::NextDue() const { return nextDue_; }

}  // namespace perchette
