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
  hangUpStartTime_ = StartOfHangUpMinute(hour, minute);
}

bool HangUpSchedule::IsHangUpTick(int32_t hour, int32_t minute) const {
  return !running_ && perchette::IsHangUpTick(CurrentTimeOfDay, hangUpStartTime_, hour, minute);
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
