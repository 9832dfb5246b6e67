// Small Win32 helpers that the end-to-end test driver and the bench's measuring driver share.
#pragma once

#include <windows.h>

#include <string>

namespace support {

inline std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

// The folder of this program: where the driver and the programs it starts were built.
inline std::wstring BuildFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring full = path;
  return full.substr(0, full.find_last_of(L'\\'));
}

}  // namespace support
