# Sources of hangup/: portable (no <windows.h>) and Win32 shells.
list(APPEND PORTABLE_SOURCES
  hangup/TimeOfDay.cpp
  hangup/HangUp.cpp
)
list(APPEND WIN32_SOURCES
  hangup/RasService.cpp
  hangup/Schedule.cpp
)
