// The local calendar time a run stamps its output with.
#pragma once

#include <ctime>
#include <functional>

namespace kestrun {

/// A local calendar time, broken down as the C library does.
struct LocalTime {
  int second = 0;        // 0 to 59 (60 on a leap second)
  int minute = 0;        // 0 to 59
  int hour = 0;          // 0 to 23
  int day_of_month = 1;  // 1 to 31
  int month = 0;         // 0 to 11, January = 0
  int years_since_1900 = 70;
  int day_of_week = 4;  // 0 to 6, Sunday = 0 (1970-01-01 was a Thursday)
};

/// Where a run takes the time for its date line; tests set their own.
using Clock = std::function<LocalTime()>;

/// The same time as the C library breaks it down, and back.
std::tm broken_down(const LocalTime& time);
LocalTime local_time_of(const std::tm& time);

/// The machine's local time now, or 1970-01-01 00:00:00 if none can be had.
LocalTime system_local_time();

}  // namespace kestrun
