#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace perchette {

struct SpinBounds {
  int32_t min, max;
};

// The value of a spin box's text: its integer, even outside the bounds, or b.min when the text
// does not convert.
int32_t ReadSpinValue(std::string_view text, SpinBounds b);

// The value held within the bounds; bounds that are equal leave every value unchanged.
int32_t HoldWithin(int32_t value, SpinBounds b);

// The text a spin box shows once its value is set: the held value in decimal.
std::string SpinTextFor(int32_t value, SpinBounds b);

// The text after one step of the given increment (negative for down) from the text's value.
std::string StepText(std::string_view text, int32_t increment, SpinBounds b);

// The text that replaces a spin box's text when the focus leaves it: the bound, when the text
// converts to a value beyond it; nullopt when the text stays as typed (in range or no number).
std::optional<std::string> TextOnLeave(std::string_view text, SpinBounds b);

// Whether a typed character may enter a spin box: digits, "+", "-", the locale's decimal
// separator and control characters other than carriage return (backspace, clipboard keys).
bool AcceptsSpinChar(char32_t ch, char32_t decimalSeparator);

// The automatic steps of a held arrow button. The first comes 400 ms after the press, then one
// every 100 ms while the button is shown pressed. With the pointer off the button the steps
// pause; when it comes back on, the next step is due 100 ms later (a fresh pace rather than the
// old grid). Releasing over the button makes one more step. Times are milliseconds from any
// monotonic origin and may wrap around 32 bits.
class AutoRepeat {
 public:
  void Press(uint32_t now);
  // The automatic steps due up to now and not taken yet; none fall due while paused or released,
  // but those that fell due just before the pointer left still come out here.
  int Advance(uint32_t now);
  void PointerOff(uint32_t now);
  void PointerOn(uint32_t now);
  // The steps due before the release, and one more when it happens over the button.
  int Release(uint32_t now, bool overButton);
  // When the next automatic step is due while the button is shown pressed.
  uint32_t NextDue() const;

 private:
  static constexpr uint32_t kFirstDelayMs = 400;
  static constexpr uint32_t kRepeatMs = 100;

  int TakeDueSteps(uint32_t now);

  bool pressed_ = false;
  bool pointerOn_ = false;
  // Steps that fell due before the pointer left the button and nobody has taken yet.
  int pending_ = 0;
  uint32_t nextDue_ = 0;
};

}  // namespace perchette
