// SettingsFile: reads and writes integers of the settings file through the profile functions.
#pragma once

#include <cstdint>
#include <string>

namespace perchette {

inline constexpr wchar_t kSettingsSection[] = L"HungUpTime";
inline constexpr wchar_t kHourKey[] = L"HHour";
inline constexpr wchar_t kMinuteKey[] = L"HMin";
inline constexpr int32_t kDefaultHour = 7;
inline constexpr int32_t kDefaultMinute = 59;

// The settings file beside the executable.
std::wstring ExecutableSettingsPath();

struct HangUpTime {
  int32_t hour, minute;
};

// The hang-up hour and minute from the settings file beside the executable, each falling back to
// its default when missing or unreadable. Not range-checked.
HangUpTime ReadHangUpTime();

class SettingsFile {
 public:
  explicit SettingsFile(std::wstring path) : path_(std::move(path)) {}

  int32_t ReadInt(const wchar_t* section, const wchar_t* key, int32_t defaultValue) const;
  // Throws the write error, naming the file, when the system refuses the write.
  void WriteInt(const wchar_t* section, const wchar_t* key, int32_t value) const;

 private:
  std::wstring path_;
};

}  // namespace perchette
