// The fuzzer's saved inputs and seeds, converted in every build with the
// fuzzer's own rules, so that a fixed finding stays fixed without libFuzzer.
#include <gtest/gtest.h>

#include <string>

#include "conversion_check.h"
#include "test_support.h"

namespace kestrun::fuzzing {
namespace {

namespace fs = std::filesystem;

TEST(FuzzInputs, SavedFindingsAndSeedsKeepEveryRule) {
  std::size_t checked = 0;
  for (const char* directory : {"tests/data/fuzz-regressions", "fuzz/seeds"}) {
    for (const auto& entry : fs::directory_iterator(testing::kSource / directory)) {
      if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
      const std::string bytes = testing::read_file(entry.path());
      EXPECT_EQ(
          check_conversion(std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())), "")
          << entry.path().filename();
      ++checked;
    }
  }
  EXPECT_GE(checked, 8U) << "the seeds are missing";
}

}  // namespace
}  // namespace kestrun::fuzzing
