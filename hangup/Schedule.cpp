#include "hangup/Schedule.h"

#include <windows.h>

#include "hangup/TimeOfDay.h"

namespace perchette {

double CurrentTimeOfDay() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return EncodeTimeOfDay(now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
}

void HangUpSchedule::SetStartTime(int32_t hour, int32_t minute) {
  startTime_ = StartOfHangUpMinute(hour, minute);
}

void HangUpSchedule::Tick(int32_t hour, int32_t minute) {
  if (running_) return;
  if (IsHangUpTick(CurrentTimeOfDay, startTime_, hour, minute)) HangUpDialUp();
}

void HangUpSchedule::HangUpDialUp() {
  running_ = true;
  try {
    HangUpFirstConnection(dialUp_);
  } catch (...) {
    running_ = false;
    throw;
  }
  running_ = false;
}

}  // namespace perchette
