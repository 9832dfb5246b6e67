// The text rules as a user states them, written as patterns and library conversions rather than
// the character loops the program uses, so that a fault of one is not also a fault of the other.
#pragma once

#include <cstdint>
#include <optional>
#include <regex>
#include <string>
#include <string_view>

namespace model {

inline bool Matches(std::string_view text, const std::regex& pattern, std::cmatch& match) {
  return std::regex_match(text.data(), text.data() + text.size(), match, pattern);
}

// Digits without their leading zeros ("0" for zero itself).
inline std::string Significant(const std::string& digits) {
  const size_t first = digits.find_first_not_of('0');
  return first == std::string::npos ? "0" : digits.substr(first);
}

// Leading spaces, then a sign and decimal digits within 32 bits, or "$" and hexadecimal digits
// that fit in 32 bits (read back as signed); nothing else anywhere.
inline std::optional<int32_t> ParseInt(std::string_view text) {
  static const std::regex decimal(" *([+-]?)([0-9]+)");
  static const std::regex hex(" *\\$([0-9A-Fa-f]+)");
  std::cmatch match;
  if (Matches(text, hex, match)) {
    const std::string digits = Significant(match[1].str());
    if (digits.size() > 8) return std::nullopt;
    return static_cast<int32_t>(static_cast<uint32_t>(std::stoul(digits, nullptr, 16)));
  }
  if (!Matches(text, decimal, match)) return std::nullopt;
  const std::string digits = Significant(match[2].str());
  if (digits.size() > 10) return std::nullopt;
  const long long magnitude = std::stoll(digits);
  const long long value = match[1].str() == "-" ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

// A settings value "0x" or "0X" followed by anything at all reads as "$" and that rest.
inline std::string ValueText(std::string_view text) {
  static const std::regex prefixed("0[xX]([\\s\\S]+)");
  std::cmatch match;
  if (Matches(text, prefixed, match)) return "$" + match[1].str();
  return std::string(text);
}

struct Clock {
  int hour, minute, second;
};

// hour:minute:second, each one or more digits, in range; nothing else.
inline std::optional<Clock> ParseTime(std::string_view text) {
  static const std::regex time("([0-9]+):([0-9]+):([0-9]+)");
  std::cmatch match;
  if (!Matches(text, time, match)) return std::nullopt;
  int parts[3];
  for (int i = 0; i < 3; ++i) {
    const std::string digits = Significant(match[i + 1].str());
    if (digits.size() > 2) return std::nullopt;
    parts[i] = std::stoi(digits);
  }
  if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
  return Clock{parts[0], parts[1], parts[2]};
}

}  // namespace model
