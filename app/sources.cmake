# Sources of app/: portable (no <windows.h>) and Win32 shells.
list(APPEND PORTABLE_SOURCES
  app/Perch.cpp
)
list(APPEND WIN32_SOURCES
  app/PopupMenu.cpp
  app/Project1.cpp
  app/Tray.cpp
  app/Unit1.cpp
)
