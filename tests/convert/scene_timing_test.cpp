#include "convert/scene_timing.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace kestrun {
namespace {

using testing::ase_file;
using testing::convert_text;

/// The playback line of the trailer for `scene`.
std::string playback_of(const std::string& scene) {
  const auto result = convert_text(ase_file(scene));
  EXPECT_EQ(result.exit_status, 0) << result.err;
  const std::size_t start = result.output.find("playbackOptions");
  const std::size_t end = result.output.find(" ;", start);
  return start == std::string::npos ? "" : result.output.substr(start, end - start);
}

TEST(ReadScene, TakesTheFourSettingsInAnyOrder) {
  EXPECT_EQ(
      playback_of("*SCENE {\n*SCENE_FILENAME \"a.max\"\n*SCENE_TICKSPERFRAME 160\n*SCENE_LASTFRAME 100\n"
                  "*SCENE_FRAMESPEED 30\n*SCENE_FIRSTFRAME 0\n*SCENE_BACKGROUND_STATIC 0.0 0.0 0.0\n}"),
      "playbackOptions -min 0 -max 100 -animationStartTime 0 -animationEndTime 100");
}

TEST(ReadScene, LastValueWinsAndRealsCountTruncated) {
  EXPECT_EQ(playback_of("*SCENE {\n*SCENE_FIRSTFRAME 3\n*SCENE_FIRSTFRAME 7\n*SCENE_LASTFRAME 99.9\n}\n"
                        "*SCENE {\n*SCENE_LASTFRAME -12.7\n}"),
            "playbackOptions -min 7 -max -12 -animationStartTime 7 -animationEndTime -12");
}

TEST(ReadScene, FirstClosingBraceEndsTheBlock) {
  EXPECT_EQ(playback_of("*SCENE {\n*SCENE_FIRSTFRAME 3\n*NESTED { }\n*SCENE_LASTFRAME 9\n}"),
            "playbackOptions -min 3 -max 0 -animationStartTime 3 -animationEndTime 0");
}

TEST(ReadScene, InputEndingInsideTheBlockKeepsWhatWasRead) {
  EXPECT_EQ(playback_of("*SCENE {\n*SCENE_FIRSTFRAME 4\n*SCENE_LASTFRAME"),
            "playbackOptions -min 4 -max 4 -animationStartTime 4 -animationEndTime 4");
}

TEST(ReadScene, MissingBraceIsCode4) {
  const auto result = convert_text(ase_file("*SCENE *SCENE_FIRSTFRAME 1"));
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.combined, "Found Scene info\nSome Fatal Error just occurred");
}

}  // namespace
}  // namespace kestrun
