// Libraries the program loads only when it needs them, from the system folder only.
#pragma once

#include <windows.h>

namespace perchette {

// The system's own copy of the library, never one planted beside the program or in the current
// folder; null if it cannot be loaded. The caller owns the module (UniqueLibrary).
HMODULE LoadSystemLibrary(const wchar_t* name);

// GetProcAddress answers with a generic function pointer; going through void* says so. Null from
// no library (GetProcAddress would look in the program itself).
template <class Function>
Function Export(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace perchette
