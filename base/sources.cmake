# Sources of base/: the foundation every other folder builds on. Portable (no <windows.h>) and
# Win32.
list(APPEND PORTABLE_SOURCES
  base/Dpi.cpp
  base/ErrorText.cpp
  base/IntText.cpp
)
list(APPEND WIN32_SOURCES
  base/Application.cpp
  base/DisplayDpi.cpp
  base/LibraryErrors.cpp
  base/Subclass.cpp
  base/SystemLibrary.cpp
  base/Timer.cpp
  base/WideText.cpp
  base/Window.cpp
)
