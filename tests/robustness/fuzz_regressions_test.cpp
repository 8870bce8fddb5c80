// The fuzzer's saved inputs and seeds, converted in every build with the
// fuzzer's own rules, so that a fixed finding stays fixed without libFuzzer.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "conversion_check.h"
#include "test_support.h"

namespace kestrun::fuzzing {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = KESTRUN_SOURCE_DIR;

std::vector<fs::path> inputs_in(const fs::path& directory) {
  std::vector<fs::path> inputs;
  for (const auto& entry : fs::directory_iterator(directory)) {
    if (entry.is_regular_file() && entry.path().extension() != ".md") inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

TEST(FuzzInputs, SavedFindingsAndSeedsKeepEveryRule) {
  std::size_t checked = 0;
  for (const char* directory : {"tests/data/fuzz-regressions", "fuzz/seeds"}) {
    for (const fs::path& input : inputs_in(kSource / directory)) {
      const std::string bytes = testing::read_file(input);
      const std::string broken =
          check_conversion(std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
      EXPECT_EQ(broken, "") << input.filename();
      ++checked;
    }
  }
  EXPECT_GE(checked, 8U) << "the seeds are missing";
}

TEST(FuzzInputs, TheFirstByteSelectsTheSwitches) {
  const RunOptions none = options_from_byte(0);
  EXPECT_FALSE(none.animation || none.geometry || none.lights || none.cameras || none.scene);
  const RunOptions cameras_and_scene = options_from_byte(0x18);
  EXPECT_TRUE(cameras_and_scene.cameras && cameras_and_scene.scene);
  EXPECT_FALSE(cameras_and_scene.animation || cameras_and_scene.geometry || cameras_and_scene.lights);
  const RunOptions universal = options_from_byte('?');
  EXPECT_TRUE(universal.animation && universal.geometry && universal.lights && universal.cameras &&
              universal.scene);
}

}  // namespace
}  // namespace kestrun::fuzzing
