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

/// The date line alone.
std::string date_line(const LocalTime& time) {
  const std::string header = header_for(time);
  const std::size_t start = header.find("//Last modified:");
  return header.substr(start, header.find('\n', start) - start);
}

TEST(Header, MatchesTheDocumentedExample) {
  EXPECT_EQ(header_for(testing::fixed_time()),
            "//Maya ASCII 3.0 scene\n"
            "//Name: scene.ma\n"
            "//Last modified:Tue, Jun 05, 2001 09:07:03 AM\n"
            "requires maya \"3.0\";\n"
            "currentUnit -l millimeter -a degree -t pal;\n\n");
}

struct HourCase {
  int hour;
  const char* text;
};

class HourField : public ::testing::TestWithParam<HourCase> {};

TEST_P(HourField, UsesATwelveHourClockWithTwoDigits) {
  LocalTime time = testing::fixed_time();
  time.hour = GetParam().hour;
  EXPECT_EQ(date_line(time), std::string("//Last modified:Tue, Jun 05, 2001 ") + GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Hours, HourField,
                         ::testing::Values(HourCase{0, "12:07:03 AM"}, HourCase{1, "01:07:03 AM"},
                                           HourCase{9, "09:07:03 AM"}, HourCase{10, "10:07:03 AM"},
                                           HourCase{11, "11:07:03 AM"}, HourCase{12, "12:07:03 PM"},
                                           HourCase{13, "01:07:03 PM"}, HourCase{22, "10:07:03 PM"},
                                           HourCase{23, "11:07:03 PM"}));

TEST(Header, DayMinutesAndSecondsHaveTwoDigits) {
  LocalTime time = testing::fixed_time();
  time.day_of_month = 25;
  time.minute = 0;
  time.second = 0;
  EXPECT_EQ(date_line(time), "//Last modified:Tue, Jun 25, 2001 09:00:00 AM");
  time.minute = 59;
  time.second = 10;
  EXPECT_EQ(date_line(time), "//Last modified:Tue, Jun 25, 2001 09:59:10 AM");
}

TEST(Header, FirstEntriesOfTheNameTablesAreSundayAndJanuary) {
  LocalTime time = testing::fixed_time();
  time.day_of_week = 0;
  time.month = 0;
  time.day_of_month = 1;
  time.years_since_1900 = 126;
  EXPECT_EQ(date_line(time), "//Last modified:Sun, Jan 01, 2026 09:07:03 AM");
  time.day_of_week = 6;
  time.month = 11;
  EXPECT_EQ(date_line(time), "//Last modified:Sat, Dec 01, 2026 09:07:03 AM");
}

TEST(Header, ImpossibleClockFieldsFallBackToTheEpoch) {
  LocalTime time = testing::fixed_time();
  time.month = 12;
  EXPECT_EQ(date_line(time), "//Last modified:Thu, Jan 01, 1970 12:00:00 AM");
}

TEST(Header, NameIsWrittenAsGivenButCannotBreakOutOfItsComment) {
  EXPECT_NE(header_for(testing::fixed_time(), "dir/my \"scene\".ma").find("//Name: dir/my \"scene\".ma\n"),
            std::string::npos);
  const std::string header = header_for(testing::fixed_time(), "evil\nrequires maya \"9\";\r.ma");
  EXPECT_NE(header.find("//Name: evil requires maya \"9\"; .ma\n"), std::string::npos);
}

TEST(Header, SystemClockGivesFieldsInRange) {
  const LocalTime now = system_local_time();
  EXPECT_GE(now.years_since_1900, 126);
  EXPECT_LE(now.month, 11);
  EXPECT_LE(now.day_of_week, 6);
}

}  // namespace
}  // namespace kestrun
