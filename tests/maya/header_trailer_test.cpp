// The lines that open and close every output file (shown whole in every case of
// tests/data/cases), and the node lists that the closing lines connect.
#include <gtest/gtest.h>

#include <string>

#include "maya/header.h"
#include "maya/trailer.h"
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

/// The last of the default nodes every trailer writes (case walk_switches_off shows a whole one).
constexpr std::string_view kLastDefaultNode = " connectAttr \"lightLinker1.msg\" \":lightList1.ln\" -na;\n";

std::string trailer(const SceneSummary& scene, std::string_view output_name = "scene.ma") {
  return written_by([&](MaWriter& out) { write_trailer(out, scene, output_name); });
}

TEST(Trailer, ConnectsMeshesThenLightsWithThePlaybackRange) {
  SceneSummary scene;
  scene.first_frame = -5;
  scene.last_frame = 250;
  scene.lights.append("Spot01");
  scene.meshes.append("Box01");
  scene.meshes.append("Box\\02");
  // Names entered again in a row share an entry and are still connected each time.
  scene.meshes.append("Box\\02");
  scene.lights.append("Spot01");
  const std::string text = trailer(scene, "dir/out.ma");
  EXPECT_NE(text.find("-min -5 -max 250 -animationStartTime -5 -animationEndTime 250 ;"), std::string::npos);
  const std::string tail = text.substr(text.find(kLastDefaultNode) + kLastDefaultNode.size());
  EXPECT_EQ(tail,
            "  connectAttr \"Box01Shape1.iog\" \":initialShadingGroup.dsm\" -na;\n"
            "  connectAttr \"Box\\\\02Shape1.iog\" \":initialShadingGroup.dsm\" -na;\n"
            "  connectAttr \"Box\\\\02Shape1.iog\" \":initialShadingGroup.dsm\" -na;\n"
            "  connectAttr \"Spot01Shape1.ltd\" \":lightList1.l\" -na;\n"
            "  connectAttr \"Spot01Shape1.iog\" \":defaultLightSet.dsm\" -na;\n"
            "  connectAttr \"Spot01Shape1.ltd\" \":lightList1.l\" -na;\n"
            "  connectAttr \"Spot01Shape1.iog\" \":defaultLightSet.dsm\" -na;\n"
            "// End of dir/out.ma ");
  EXPECT_TRUE(trailer(SceneSummary{}, "a\nb\r.ma").ends_with("\n// End of a b .ma "))
      << "the name cannot end the comment";
}

}  // namespace
}  // namespace kestrun::testing
