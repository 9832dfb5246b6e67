// The Remote Access Service's connection record in its 8-bit-character form, in the size the
// program asks for. The system's header packs it to 4 bytes: 412 bytes in a 32-bit program, 416 in
// a 64-bit one, with the handle at offset 4 in both.
#pragma once

#include <windows.h>

#include <ras.h>

#include <cstddef>

namespace perchette {

#pragma pack(push, 4)
struct RasConnRecord {
  DWORD dwSize;
  HANDLE hrasconn;
  char szEntryName[257];
  char szDeviceType[17];
  char szDeviceName[129];
};
#pragma pack(pop)

#if defined(_WIN64)
static_assert(sizeof(RasConnRecord) == 416);
static_assert(offsetof(RasConnRecord, hrasconn) == 4 &&
              offsetof(RasConnRecord, szEntryName) == 12 &&
              offsetof(RasConnRecord, szDeviceType) == 269 &&
              offsetof(RasConnRecord, szDeviceName) == 286);
#else
static_assert(sizeof(RasConnRecord) == 412);
static_assert(offsetof(RasConnRecord, hrasconn) == 4 && offsetof(RasConnRecord, szEntryName) == 8 &&
              offsetof(RasConnRecord, szDeviceType) == 265 &&
              offsetof(RasConnRecord, szDeviceName) == 282);
#endif

// The platform header's newest record begins with the same fields at the same places.
static_assert(offsetof(RasConnRecord, hrasconn) == offsetof(RASCONNA, hrasconn) &&
              offsetof(RasConnRecord, szEntryName) == offsetof(RASCONNA, szEntryName) &&
              offsetof(RasConnRecord, szDeviceType) == offsetof(RASCONNA, szDeviceType) &&
              offsetof(RasConnRecord, szDeviceName) == offsetof(RASCONNA, szDeviceName));

inline constexpr DWORD kConnectionTableRecords = 100;

}  // namespace perchette
