// The opening of every Maya ASCII file: name, date line, version and units.
#pragma once

#include <functional>
#include <string_view>

#include "maya/ma_writer.h"

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

/// The machine's local time now, or 1970-01-01 00:00:00 if none can be had.
LocalTime system_local_time();

/// Writes the header: "//Maya ASCII 3.0 scene", "//Name: " with `output_name`,
/// the "//Last modified:" line for `time`, the version requirement and the
/// unit settings, ending with an empty line.
void write_header(MaWriter& out, std::string_view output_name, const LocalTime& time);

}  // namespace kestrun
