// Loading the hang-up time into the main window.
#include "base/Application.h"
#include "app/Unit1.h"
#include "hangup/Schedule.h"
#include "hangup/TimeOfDay.h"
#include "settings/SettingsFile.h"

namespace perchette {

void TMainForm::LoadSettings() {
  // Reports held back as repeats may show again once the settings are read anew.
  Application().ForgetRepeatedErrors();
  const SettingsFile file(ExecutableSettingsPath());
  FHangUpHour = file.ReadInt(kSettingsSection, kHourKey, kDefaultHour);
  FHangUpMinute = file.ReadInt(kSettingsSection, kMinuteKey, kDefaultMinute);
  ::HangUpStartTime = HangUpStartTime(FHangUpHour, FHangUpMinute);
}

}  // namespace perchette
