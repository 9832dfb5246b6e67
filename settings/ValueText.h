// The settings file's value texts and where the file lies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace perchette {

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
