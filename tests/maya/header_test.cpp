// The lines that open every output file (shown whole, at the fixed time, in
// every case of tests/data/cases).
#include "maya/header.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace kestrun::testing {
namespace {

std::string header_for(const LocalTime& time, std::string_view name = "out.ma") {
  return written_by([&](MaWriter& out) { write_header(out, name, time); });
}

TEST(Header, DateLineHasTwoDigitFieldsAndATwelveHourClock) {
  // Second, minute, hour, day of month, month, years since 1900, day of week.
  const std::pair<LocalTime, const char*> dates[] = {
      {{3, 7, 0, 5, 5, 101, 2}, "Tue, Jun 05, 2001 12:07:03 AM"},
      {{3, 7, 1, 5, 5, 101, 2}, "Tue, Jun 05, 2001 01:07:03 AM"},
      {{3, 7, 10, 5, 5, 101, 2}, "Tue, Jun 05, 2001 10:07:03 AM"},
      {{3, 7, 11, 5, 5, 101, 2}, "Tue, Jun 05, 2001 11:07:03 AM"},
      {{3, 7, 12, 5, 5, 101, 2}, "Tue, Jun 05, 2001 12:07:03 PM"},
      {{3, 7, 13, 5, 5, 101, 2}, "Tue, Jun 05, 2001 01:07:03 PM"},
      {{3, 7, 22, 5, 5, 101, 2}, "Tue, Jun 05, 2001 10:07:03 PM"},
      {{10, 59, 23, 25, 5, 101, 2}, "Tue, Jun 25, 2001 11:59:10 PM"},
      {{0, 0, 9, 1, 0, 101, 0}, "Sun, Jan 01, 2001 09:00:00 AM"},
      {{59, 10, 9, 31, 11, 101, 6}, "Sat, Dec 31, 2001 09:10:59 AM"},
      // Impossible fields give the date of a machine without a clock.
      {{3, 7, 9, 5, 12, 101, 2}, "Thu, Jan 01, 1970 12:00:00 AM"}};
  for (const auto& [time, date] : dates) {
    const std::string header = header_for(time);
    const std::size_t start = header.find("//Last modified:");
    EXPECT_EQ(header.substr(start, header.find('\n', start) - start), "//Last modified:" + std::string(date));
  }
}

TEST(Header, NameIsWrittenAsGivenButCannotBreakOutOfItsComment) {
  EXPECT_EQ(header_for(fixed_time(), "dir/my \"scene\".ma"), expected_header("dir/my \"scene\".ma"));
  EXPECT_EQ(header_for(fixed_time(), "evil\nrequires maya \"9\";\r.ma"),
            expected_header("evil requires maya \"9\"; .ma"));
}

TEST(Header, SystemClockGivesFieldsInRange) {
  const LocalTime now = system_local_time();
  EXPECT_GE(now.years_since_1900, 126);
  EXPECT_LE(now.month, 11);
  EXPECT_LE(now.day_of_week, 6);
}

}  // namespace
}  // namespace kestrun::testing
