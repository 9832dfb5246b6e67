// The Remote Access Service, loaded from the system folder only.
#pragma once

#include <windows.h>

#include "base/Handles.h"
#include "hangup/HangUp.h"

namespace perchette {

class RasService : public DialUpService {
 public:
  EnumResult EnumerateConnections() override;
  uint32_t HangUp(uintptr_t connection) override;
  void Wait(uint32_t milliseconds) override;
  void ShowMessage(std::string_view text) override;

 private:
  bool Load();

  using EnumFunction = DWORD(WINAPI*)(void* connections, DWORD* size, DWORD* count);
  using HangUpFunction = DWORD(WINAPI*)(HANDLE connection);
  UniqueLibrary library_;
  EnumFunction enumConnections_ = nullptr;
  HangUpFunction hangUp_ = nullptr;
};

}  // namespace perchette
