#pragma once

#include <cstdint>
#include <string_view>

namespace perchette {

struct EnumResult {
  uint32_t status;  // 0 = success
  int32_t count;    // active connections, read as a signed number
  uintptr_t firstConnection;
};

// The Remote Access Service and the two other effects of a hang-up.
class DialUpService {
 public:
  virtual ~DialUpService() = default;
  virtual EnumResult EnumerateConnections() = 0;
  virtual uint32_t HangUp(uintptr_t connection) = 0;  // 0 = success
  virtual void Wait(uint32_t milliseconds) = 0;
  virtual void ShowMessage(std::string_view text) = 0;  // modal message window
};

inline constexpr char kHangUpFailedText[] = "切断失敗";

// Hangs up the first active dial-up connection, if any, and waits a second for it to go down.
// A failed enumeration or no connection does nothing; a failed hang-up shows "切断失敗" and
// does not wait.
void HangUpFirstConnection(DialUpService& service);

}  // namespace perchette
