#include "maya/header.h"

#include <array>

#include "maya/maya_text.h"

namespace kestrun {
namespace {

constexpr std::array<std::string_view, 7> kDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<std::string_view, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool is_valid(const LocalTime& time) {
  return time.second >= 0 && time.second <= 60 && time.minute >= 0 && time.minute <= 59 && time.hour >= 0 &&
         time.hour <= 23 && time.day_of_month >= 1 && time.day_of_month <= 31 && time.month >= 0 &&
         time.month <= 11 && time.day_of_week >= 0 && time.day_of_week <= 6 &&
         time.years_since_1900 >= -1900 && time.years_since_1900 <= 100000;
}

}  // namespace

void write_modified_date(MaWriter& out, const LocalTime& clock_time) {
  // A clock that hands out impossible fields gets the same fallback as a
  // machine without a clock, rather than an out-of-range table index.
  const LocalTime time = is_valid(clock_time) ? clock_time : LocalTime{};
  out.print<"%s, ">(kDayNames[static_cast<std::size_t>(time.day_of_week)]);
  const std::string_view month = kMonthNames[static_cast<std::size_t>(time.month)];
  if (time.day_of_month < 10) {
    out.print<"%s 0%d, ">(month, time.day_of_month);
  } else {
    out.print<"%s %2d, ">(month, time.day_of_month);
  }
  out.print<"%4d ">(time.years_since_1900 + 1900);
  const int hour12 = time.hour % 12;
  if (hour12 >= 1 && hour12 <= 9) {
    out.print<"0%d:">(hour12);
  } else {
    out.print<"%2d:">(hour12 == 0 ? 12 : hour12);
  }
  if (time.minute < 10) {
    out.print<"0%d:">(time.minute);
  } else {
    out.print<"%2d:">(time.minute);
  }
  if (time.second < 10) {
    out.print<"0%d ">(time.second);
  } else {
    out.print<"%2d ">(time.second);
  }
  out.print<"%s">(time.hour < 12 ? "AM" : "PM");
}

void write_header(MaWriter& out, std::string_view output_name, const LocalTime& time) {
  out.print<"//Maya ASCII 3.0 scene\n">();
  out.print<"//Name: %s\n">(CommentText{output_name});
  out.print<"//Last modified:">();
  write_modified_date(out, time);
  out.print<"\n">();
  out.print<"requires maya \"3.0\";\n">();
  out.print<"currentUnit -l millimeter -a degree -t pal;\n\n">();
}

}  // namespace kestrun
