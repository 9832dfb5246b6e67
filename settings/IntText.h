#pragma once

#include <cstddef>
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

// A value text of the settings file longer than two characters that begins with "0x" or "0X"
// gets "$" in place of those two characters; any other text comes back unchanged.
std::string ApplyHexPrefixRule(std::string_view text);

// A value text of the settings file as an integer, or defaultValue when it does not convert.
int32_t IntFromValueText(std::string_view text, int32_t defaultValue);

// The settings file beside the executable: its path without the last four characters (all of
// them for a shorter path), followed by ".INI".
std::wstring SettingsFilePath(std::wstring_view executablePath);

// The read buffer for a value text; at most kValueBufferChars - 1 characters come back.
inline constexpr size_t kValueBufferChars = 1024;

}  // namespace perchette
