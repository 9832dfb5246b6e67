#include "hangup/RasService.h"

#include <cstddef>

#include "base/Application.h"
#include "base/SystemLibrary.h"
#include "hangup/RasRecord.h"

namespace perchette {

namespace {

constexpr DWORD kModuleMissing = ERROR_MOD_NOT_FOUND;

}  // namespace

bool RasService::Load() {
  if (library_) return true;
  library_.reset(LoadSystemLibrary(L"rasapi32.dll"));
  if (!library_) return false;
  enumConnections_ = Export<EnumFunction>(library_.get(), "RasEnumConnectionsA");
  hangUp_ = Export<HangUpFunction>(library_.get(), "RasHangUpA");
  if (enumConnections_ == nullptr || hangUp_ == nullptr) {
    library_.reset();
    return false;
  }
  return true;
}

EnumResult RasService::EnumerateConnections() {
  if (!Load()) return {kModuleMissing, 0, 0};
  RasConnRecord table[kConnectionTableRecords];
  table[0].dwSize = sizeof(RasConnRecord);
  DWORD tableBytes = sizeof table;
  DWORD count = 0;
  const DWORD status = enumConnections_(table, &tableBytes, &count);
  // The first record holds a connection only when the service listed one.
  return {status, static_cast<int32_t>(count),
          reinterpret_cast<uintptr_t>(status == 0 && count > 0 ? table[0].hrasconn : nullptr)};
}

uint32_t RasService::HangUp(uintptr_t connection) {
  if (!Load()) return kModuleMissing;
  return hangUp_(reinterpret_cast<HANDLE>(connection));
}

void RasService::Wait(uint32_t milliseconds) { Sleep(milliseconds); }

void RasService::ShowMessage(std::string_view text) { Application().ShowMessage(text); }

}  // namespace perchette
