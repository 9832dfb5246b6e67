// Plain, obviously-correct models of the text rules, written apart from the program's code so
// that the fuzzers can compare the two.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace model {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
inline int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  return (c | 0x20) - 'a' + 10;
}

// Digits without their leading zeros ("" for zero itself).
inline std::string_view Significant(std::string_view digits) {
  while (!digits.empty() && digits.front() == '0') digits.remove_prefix(1);
  return digits;
}

inline std::optional<int32_t> ParseInt(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  if (text.front() == '$') {
    const std::string_view digits = text.substr(1);
    if (digits.empty()) return std::nullopt;
    for (char c : digits) {
      if (!IsHex(c)) return std::nullopt;
    }
    const std::string_view value = Significant(digits);
    if (value.size() > 8) return std::nullopt;
    uint32_t result = 0;
    for (char c : value) result = result * 16 + static_cast<uint32_t>(HexValue(c));
    return static_cast<int32_t>(result);
  }
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
  }
  const std::string_view value = Significant(text);
  if (value.size() > 10) return std::nullopt;
  int64_t result = 0;
  for (char c : value) result = result * 10 + (c - '0');
  if (negative) result = -result;
  if (result < INT32_MIN || result > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(result);
}

inline std::string ValueText(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return "$" + std::string(text.substr(2));
  }
  return std::string(text);
}

struct Clock {
  int hour, minute, second;
};

// hour:minute:second, each one or more digits, in range; nothing else.
inline std::optional<Clock> ParseTime(std::string_view text) {
  int parts[3];
  for (int i = 0; i < 3; ++i) {
    const size_t end = i < 2 ? text.find(':') : text.size();
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view digits = text.substr(0, end);
    if (digits.empty()) return std::nullopt;
    for (char c : digits) {
      if (!IsDigit(c)) return std::nullopt;
    }
    const std::string_view value = Significant(digits);
    if (value.size() > 2) return std::nullopt;
    parts[i] = 0;
    for (char c : value) parts[i] = parts[i] * 10 + (c - '0');
    text.remove_prefix(i < 2 ? end + 1 : end);
  }
  if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
  return Clock{parts[0], parts[1], parts[2]};
}

}  // namespace model
