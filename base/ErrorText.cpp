#include "base/ErrorText.h"

namespace perchette {

std::string ErrorReportText(std::string_view message) {
  std::string text(message);
  // Every byte of a multi-byte UTF-8 character is 0x80 or above, so the last byte is below "."
  // exactly when the last character is a single ASCII character that sorts before ".".
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
    text += '.';
  }
  return text;
}

std::string FormatText(std::string_view pattern, std::string_view arg) {
  std::string text(pattern);
  if (const size_t at = text.find("%s"); at != std::string::npos) {
    text.replace(at, 2, arg);
  }
  return text;
}

}  // namespace perchette
