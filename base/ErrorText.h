#pragma once

#include <string>
#include <string_view>

namespace perchette {

// The text of the general error report: the message with "." appended, unless it is empty or its
// last character already is "." or sorts before it.
std::string ErrorReportText(std::string_view message);

// The pattern with its first "%s" replaced by arg; a pattern without "%s" comes back unchanged.
std::string FormatText(std::string_view pattern, std::string_view arg);

}  // namespace perchette
