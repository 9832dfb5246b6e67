#include "hangup/TimeOfDay.h"

#include <optional>

#include "base/AppError.h"
#include "base/ErrorText.h"
#include "base/IntText.h"

namespace perchette {
namespace {

constexpr long double kDayPerMillisecond = 1.0L / 86400000.0L;
constexpr char kNotATimeText[] = "'%s' は時刻ではありません";

// One or more decimal digits at the front of text, consumed; nullopt when there are none. Long
// runs stop growing past any valid field, so they cannot overflow and still fail the range test.
std::optional<int32_t> TakeDigits(std::string_view& text) {
  constexpr int32_t kBeyondAnyField = 1000;
  size_t count = 0;
  int32_t value = 0;
  while (count < text.size() && text[count] >= '0' && text[count] <= '9') {
    if (value < kBeyondAnyField) value = value * 10 + (text[count] - '0');
    ++count;
  }
  if (count == 0) return std::nullopt;
  text.remove_prefix(count);
  return value;
}

bool TakeColon(std::string_view& text) {
  if (text.empty() || text.front() != ':') return false;
  text.remove_prefix(1);
  return true;
}

std::optional<double> ParseTime(std::string_view text) {
  const std::optional<int32_t> hour = TakeDigits(text);
  if (!hour || !TakeColon(text)) return std::nullopt;
  const std::optional<int32_t> minute = TakeDigits(text);
  if (!minute || !TakeColon(text)) return std::nullopt;
  const std::optional<int32_t> second = TakeDigits(text);
  if (!second || !text.empty()) return std::nullopt;
  if (*hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
  return EncodeTimeOfDay(*hour, *minute, *second, 0);
}

}  // namespace

double EncodeTimeOfDay(int32_t hour, int32_t minute, int32_t second, int32_t millisecond) {
  const int64_t milliseconds =
      int64_t{hour} * 3600000 + int64_t{minute} * 60000 + int64_t{second} * 1000 + millisecond;
  return static_cast<double>(static_cast<long double>(milliseconds) * kDayPerMillisecond);
}

double StrToTime(std::string_view text) {
  const std::optional<double> time = ParseTime(text);
  if (!time) throw AppError(FormatText(kNotATimeText, text));
  return *time;
}

std::string HangUpStartText(int32_t hour, int32_t minute) {
  return IntToText(hour) + ":" + IntToText(minute) + ":0";
}

std::string HangUpEndText(int32_t hour, int32_t minute) {
  return IntToText(hour) + ":" + IntToText(minute) + ":59";
}

double StartOfHangUpMinute(int32_t hour, int32_t minute) {
  return StrToTime(HangUpStartText(hour, minute));
}

bool IsHangUpTick(const std::function<double()>& now, double start, int32_t hour, int32_t minute) {
  if (now() < start) return false;
  const double end = StrToTime(HangUpEndText(hour, minute));
  return !(now() > end);
}

}  // namespace perchette
