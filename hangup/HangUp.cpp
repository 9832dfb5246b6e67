#include "hangup/HangUp.h"

namespace perchette {
namespace {

constexpr uint32_t kWaitAfterHangUpMs = 1000;

}  // namespace

void HangUpFirstConnection(DialUpService& service) {
  const EnumResult connections = service.EnumerateConnections();
  // A failed enumeration (too many connections for the table, among others) is not reported:
  // the next tick within the minute tries again.
  if (connections.status != 0 || connections.count <= 0) return;
  if (service.HangUp(connections.firstConnection) != 0) {
    service.ShowMessage(kHangUpFailedText);
    return;
  }
  service.Wait(kWaitAfterHangUpMs);
}

}  // namespace perchette
