# Sources of settings/: portable (no <windows.h>) and Win32 shells.
list(APPEND PORTABLE_SOURCES
  settings/ValueText.cpp
  settings/SpinRules.cpp
)
list(APPEND WIN32_SOURCES
  settings/SettingsFile.cpp
  settings/SpinButton.cpp
  settings/SpinEdit.cpp
  settings/Unit2.cpp
)
