#include "settings/SettingsFile.h"

#include <windows.h>

#include <vector>

#include "base/AppError.h"
#include "base/ErrorText.h"
#include "base/IntText.h"
#include "base/WideText.h"
#include "settings/ValueText.h"

namespace perchette {

std::wstring ExecutableSettingsPath() {
  // Long paths are allowed: grow the buffer until the whole path fits.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) return SettingsFilePath(std::wstring_view(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

HangUpTime ReadHangUpTime() {
  const SettingsFile file(ExecutableSettingsPath());
  return {file.ReadInt(kSettingsSection, kHourKey, kDefaultHour),
          file.ReadInt(kSettingsSection, kMinuteKey, kDefaultMinute)};
}

int32_t SettingsFile::ReadInt(const wchar_t* section, const wchar_t* key,
                              int32_t defaultValue) const {
  wchar_t text[kValueBufferChars];
  const DWORD length =
      GetPrivateProfileStringW(section, key, L"", text, kValueBufferChars, path_.c_str());
  return IntFromValueText(Narrow(std::wstring_view(text, length)), defaultValue);
}

void SettingsFile::WriteInt(const wchar_t* section, const wchar_t* key, int32_t value) const {
  const std::wstring text = Widen(IntToText(value));
  if (!WritePrivateProfileStringW(section, key, text.c_str(), path_.c_str())) {
    throw AppError(FormatText("%s に書き込めません", Narrow(path_)));
  }
}

}  // namespace perchette
