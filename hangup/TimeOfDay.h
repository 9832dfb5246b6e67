#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace perchette {

// The time of day as a fraction of the day: milliseconds since midnight times 1/86400000, the
// factor held in extended precision and the product rounded to double. Two such values compare
// exactly as their millisecond counts compare.
double EncodeTimeOfDay(int32_t hour, int32_t minute, int32_t second, int32_t millisecond);

// The time of day of a text hour ":" minute ":" second, each one or more decimal digits and
// nothing else, with hour 0..23, minute 0..59 and second 0..59. Throws AppError quoting the text
// for anything else.
double StrToTime(std::string_view text);

// The texts of the first and the last second of the hang-up minute: "7:59:0" and "7:59:59".
std::string HangUpStartText(int32_t hour, int32_t minute);
std::string HangUpEndText(int32_t hour, int32_t minute);

// The first instant of the hang-up minute; throws AppError when hour or minute is out of range.
double StartOfHangUpMinute(int32_t hour, int32_t minute);

// Whether this tick falls within the hang-up minute: start <= now <= hour:minute:59.000. The
// clock is read once before and once after the end of the minute is built, and the end is built
// only once the start has passed, so an out-of-range hour or minute throws only from then on.
bool IsHangUpTick(const std::function<double()>& now, double start, int32_t hour, int32_t minute);

}  // namespace perchette
