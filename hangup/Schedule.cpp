// The hang-up minute, tested on every tick, and the hang-up itself.
#include "hangup/Schedule.h"

#include <windows.h>

#include "app/Unit1.h"
#include "hangup/TimeOfDay.h"

double HangUpStartTime = 0.0;

namespace perchette {

double CurrentTimeOfDay() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return EncodeTimeOfDay(now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
}

void TMainForm::HangUpScheduleTick() {
  // While a failure message is open its own loop keeps ticking: no second message over it.
  if (hangUpRunning_) return;
  if (IsHangUpTick(CurrentTimeOfDay, ::HangUpStartTime, FHangUpHour, FHangUpMinute)) {
    HangUpDialUp();
  }
}

void TMainForm::HangUpDialUp() {
  hangUpRunning_ = true;
  try {
    HangUpFirstConnection(dialUp_);
  } catch (...) {
    hangUpRunning_ = false;
    throw;
  }
  hangUpRunning_ = false;
}

}  // namespace perchette
