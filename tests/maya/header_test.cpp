#include "maya/header.h"

#include <gtest/gtest.h>

#include <string>

#include "maya/byte_sink.h"
#include "test_support.h"

namespace kestrun {
namespace {

std::string header_for(const LocalTime& time, std::string_view name = "scene.ma") {
  MemorySink sink;
  {
    MaWriter out(sink);
    write_header(out, name, time);
  }
  return sink.contents();
}

TEST(Header, MatchesTheDocumentedExample) {
  EXPECT_EQ(header_for(testing::fixed_time()),
            "//Maya ASCII 3.0 scene\n//Name: scene.ma\n//Last modified:Tue, Jun 05, 2001 09:07:03 AM\n"
            "requires maya \"3.0\";\ncurrentUnit -l millimeter -a degree -t pal;\n\n");
}

struct DateCase {
  int hour, minute, second, day_of_month, month, day_of_week;
  const char* line;
};

class DateLine : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateLine, HasTwoDigitFieldsAndATwelveHourClock) {
  const DateCase& c = GetParam();
  LocalTime time = testing::fixed_time();
  time.hour = c.hour;
  time.minute = c.minute;
  time.second = c.second;
  time.day_of_month = c.day_of_month;
  time.month = c.month;
  time.day_of_week = c.day_of_week;
  const std::string header = header_for(time);
  const std::size_t start = header.find("//Last modified:");
  EXPECT_EQ(header.substr(start, header.find('\n', start) - start), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DateLine,
    ::testing::Values(DateCase{0, 7, 3, 5, 5, 2, "//Last modified:Tue, Jun 05, 2001 12:07:03 AM"},
                      DateCase{1, 7, 3, 5, 5, 2, "//Last modified:Tue, Jun 05, 2001 01:07:03 AM"},
                      DateCase{10, 7, 3, 5, 5, 2, "//Last modified:Tue, Jun 05, 2001 10:07:03 AM"},
                      DateCase{11, 7, 3, 5, 5, 2, "//Last modified:Tue, Jun 05, 2001 11:07:03 AM"},
                      DateCase{12, 7, 3, 5, 5, 2, "//Last modified:Tue, Jun 05, 2001 12:07:03 PM"},
                      DateCase{13, 7, 3, 5, 5, 2, "//Last modified:Tue, Jun 05, 2001 01:07:03 PM"},
                      DateCase{22, 7, 3, 5, 5, 2, "//Last modified:Tue, Jun 05, 2001 10:07:03 PM"},
                      DateCase{23, 59, 10, 25, 5, 2, "//Last modified:Tue, Jun 25, 2001 11:59:10 PM"},
                      DateCase{9, 0, 0, 1, 0, 0, "//Last modified:Sun, Jan 01, 2001 09:00:00 AM"},
                      DateCase{9, 10, 59, 31, 11, 6, "//Last modified:Sat, Dec 31, 2001 09:10:59 AM"},
                      // A clock with impossible fields gets the date of a machine without one.
                      DateCase{9, 7, 3, 5, 12, 2, "//Last modified:Thu, Jan 01, 1970 12:00:00 AM"}));

TEST(Header, NameIsWrittenAsGivenButCannotBreakOutOfItsComment) {
  EXPECT_NE(header_for(testing::fixed_time(), "dir/my \"scene\".ma").find("//Name: dir/my \"scene\".ma\n"),
            std::string::npos);
  EXPECT_NE(header_for(testing::fixed_time(), "evil\nrequires maya \"9\";\r.ma")
                .find("//Name: evil requires maya \"9\"; .ma\n"),
            std::string::npos);
}

TEST(Header, SystemClockGivesFieldsInRange) {
  const LocalTime now = system_local_time();
  EXPECT_GE(now.years_since_1900, 126);
  EXPECT_LE(now.month, 11);
  EXPECT_LE(now.day_of_week, 6);
}

}  // namespace
}  // namespace kestrun
