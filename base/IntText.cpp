#include "base/IntText.h"

#include <charconv>

namespace perchette {
namespace {

std::optional<uint32_t> HexDigitValue(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  return std::nullopt;
}

// "$" and hexadecimal digits; leading zeros do not count against the 32 bits.
std::optional<int32_t> ParseHex(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char ch : digits) {
    const std::optional<uint32_t> digit = HexDigitValue(ch);
    if (!digit) return std::nullopt;
    value = value * 16 + *digit;
    if (value > UINT32_MAX) return std::nullopt;
  }
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

// An optional sign and decimal digits within the 32-bit signed range.
std::optional<int32_t> ParseDecimal(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  // The magnitude of INT32_MIN is one more than INT32_MAX.
  const uint64_t limit = negative ? uint64_t{INT32_MAX} + 1 : uint64_t{INT32_MAX};
  uint64_t magnitude = 0;
  for (const char ch : text) {
    if (ch < '0' || ch > '9') return std::nullopt;
    magnitude = magnitude * 10 + static_cast<uint64_t>(ch - '0');
    if (magnitude > limit) return std::nullopt;
  }
  const int64_t value =
      negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  return static_cast<int32_t>(value);
}

}  // namespace

std::optional<int32_t> ParseIntText(std::string_view text) {
  const size_t firstNonSpace = text.find_first_not_of(' ');
  if (firstNonSpace == std::string_view::npos) return std::nullopt;
  text.remove_prefix(firstNonSpace);
  if (text.front() == '$') return ParseHex(text.substr(1));
  return ParseDecimal(text);
}

std::string IntToText(int32_t value) {
  char buffer[16];
  const std::to_chars_result result = std::to_chars(std::begin(buffer), std::end(buffer), value);
  return std::string(buffer, result.ptr);
}

}  // namespace perchette
