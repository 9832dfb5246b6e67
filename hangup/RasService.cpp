#include "hangup/RasService.h"

#include <cstddef>
#include <string>

#include "base/Application.h"
#include "hangup/RasRecord.h"

namespace perchette {

namespace {

// GetProcAddress answers with a generic function pointer; going through void* says so.
template <class Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
constexpr DWORD kModuleMissing = ERROR_MOD_NOT_FOUND;

// Only the system's own copy, never one planted beside the program or in the current folder.
HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
  // Systems without the restricted search refuse its flag: name the system folder instead, and
  // let the library's own folder be searched first for what it needs in turn.
  if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + name;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

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
  return {status, static_cast<int32_t>(count),
          reinterpret_cast<uintptr_t>(status == 0 ? table[0].hrasconn : nullptr)};
}

uint32_t RasService::HangUp(uintptr_t connection) {
  if (!Load()) return kModuleMissing;
  return hangUp_(reinterpret_cast<HANDLE>(connection));
}

void RasService::Wait(uint32_t milliseconds) { Sleep(milliseconds); }

void RasService::ShowMessage(std::string_view text) { Application().ShowMessage(text); }

}  // namespace perchette
