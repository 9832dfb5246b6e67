# Sources of shape/: portable (no <windows.h>) and Win32 shells.
list(APPEND PORTABLE_SOURCES
  shape/PackedPicture.cpp
  shape/SpanScan.cpp
)
list(APPEND WIN32_SOURCES
  shape/FormRgn.cpp
  shape/PackedResource.cpp
)
