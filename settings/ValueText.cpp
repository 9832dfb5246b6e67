#include "settings/ValueText.h"

#include "base/IntText.h"

namespace perchette {

std::string ApplyHexPrefixRule(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return "$" + std::string(text.substr(2));
  }
  return std::string(text);
}

int32_t IntFromValueText(std::string_view text, int32_t defaultValue) {
  return ParseIntText(ApplyHexPrefixRule(text)).value_or(defaultValue);
}

std::wstring SettingsFilePath(std::wstring_view executablePath) {
  constexpr size_t kRemovedChars = 4;
  const size_t kept =
      executablePath.size() > kRemovedChars ? executablePath.size() - kRemovedChars : 0;
  return std::wstring(executablePath.substr(0, kept)) + L".INI";
}

}  // namespace perchette
