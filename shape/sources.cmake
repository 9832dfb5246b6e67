# Sources of shape/: portable (no <windows.h>) and Win32 shells.
list(APPEND PORTABLE_SOURCES
  shape/QoiPicture.cpp
  shape/SpanScan.cpp
)
list(APPEND WIN32_SOURCES
  shape/FormRgn.cpp
  shape/QoiResource.cpp
)
