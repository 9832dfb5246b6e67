// The hang-up schedule: the start of the hang-up minute, the tick test, and the hang-up itself
// through the Remote Access Service.
#pragma once

#include <cstdint>

#include "hangup/RasService.h"

namespace perchette {

// The local wall-clock time of day, with its milliseconds; the date is dropped.
double CurrentTimeOfDay();

class HangUpSchedule {
 public:
  // Computes the first instant of the hang-up minute. Throws AppError, leaving the start as it
  // was, when hour or minute is out of range.
  void SetStartTime(int32_t hour, int32_t minute);

  // The tick's test: the local time lies within the minute hour:minute, and no hang-up is running
  // already.
  bool IsHangUpTick(int32_t hour, int32_t minute) const;
  // Hangs up the first active dial-up connection.
  void HangUpDialUp();

 private:
  // The first instant of the hang-up minute, as the settings last loaded set it.
  double hangUpStartTime_ = 0.0;
  RasService dialUp_;
  // Set while a hang-up runs: a failure message's own loop keeps ticking, and must not open a
  // second message over the first.
  bool running_ = false;
};

}  // namespace perchette
