# Sources of app/: portable (no <windows.h>) and Win32 shells.
list(APPEND PORTABLE_SOURCES
  app/ErrorText.cpp
  app/Perch.cpp
)
list(APPEND WIN32_SOURCES
  app/Application.cpp
  app/PopupMenu.cpp
  app/Project1.cpp
  app/Timer.cpp
  app/Tray.cpp
  app/Unit1.cpp
  app/WideText.cpp
  app/Window.cpp
)
