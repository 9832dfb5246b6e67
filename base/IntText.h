#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace perchette {

// The integer a text stands for, or nullopt. From its first character to its last the text is:
// any number of spaces (code 32 only), then either an optional "+" or "-" and decimal digits
// within the 32-bit signed range, or "$" and hexadecimal digits fitting in 32 bits, whose bits are
// taken as a signed integer ($FFFFFFFF is -1). Nothing may follow the last digit.
std::optional<int32_t> ParseIntText(std::string_view text);

// Plain decimal, "-" for a negative value, no leading zeros.
std::string IntToText(int32_t value);

}  // namespace perchette
