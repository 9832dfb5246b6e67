// The Remote Access Service's connection record in its 8-bit-character form, in the size the
// program asks for: 412 bytes on 32-bit Windows.
#pragma once

#include <windows.h>

#include <cstddef>

namespace perchette {

struct RasConnRecord {
  DWORD dwSize;
  HANDLE hrasconn;
  char szEntryName[257];
  char szDeviceType[17];
  char szDeviceName[129];
};
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(RasConnRecord) == 412);
static_assert(offsetof(RasConnRecord, hrasconn) == 4 && offsetof(RasConnRecord, szEntryName) == 8 &&
              offsetof(RasConnRecord, szDeviceType) == 265 &&
              offsetof(RasConnRecord, szDeviceName) == 282);
#endif

inline constexpr DWORD kConnectionTableRecords = 100;

}  // namespace perchette
