// The start of the hang-up minute, and the local time of day.
#pragma once

// The first instant of the hang-up minute; written only by loading the settings.
extern double HangUpStartTime;

namespace perchette {

// The local wall-clock time of day, with its milliseconds; the date is dropped.
double CurrentTimeOfDay();

}  // namespace perchette
