// Conversions between the core's UTF-8 texts and the system's UTF-16 texts.
#pragma once

#include <string>
#include <string_view>

namespace perchette {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace perchette
