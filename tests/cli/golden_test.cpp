// Whole conversions compared byte for byte with reviewed golden files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/process.h"
#include "test_support.h"

namespace kestrun::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = KESTRUN_SOURCE_DIR;

struct GoldenCase {
  const char* input;   // Relative to the source tree.
  const char* golden;  // In tests/data/golden, also the output file's name.
  std::vector<std::string> switches;
};

/// `output` with its date line, the one line that varies, set to the fixed time.
std::string with_fixed_date(std::string output) {
  const std::size_t start = output.find("//Last modified:");
  if (start != std::string::npos) {
    output.replace(start, output.find('\n', start) + 1 - start, kFixedDateLine);
  }
  return output;
}

class Golden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, OutputMatchesByteForByte) {
  const GoldenCase& c = GetParam();
  TempDir dir;
  const fs::path input = kSource / c.input;
  fs::copy_file(input, dir.path() / input.filename());
  std::vector<std::string> arguments = {input.filename().string(), c.golden};
  arguments.insert(arguments.end(), c.switches.begin(), c.switches.end());
  const ProcessResult result = run_program_once(KESTRUN_BINARY, arguments, dir.path());
  ASSERT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(with_fixed_date(read_file(dir.path() / c.golden)),
            read_file(kSource / "tests/data/golden" / c.golden));
}

INSTANTIATE_TEST_SUITE_P(Scenes, Golden,
                         ::testing::Values(GoldenCase{"examples/box_scene.ase", "box_scene.ma", {}},
                                           GoldenCase{"tests/data/ase-corpus/anim2.ASE", "anim2.ma", {}},
                                           GoldenCase{"tests/data/ase-corpus/TargetCameraAnim.ase",
                                                      "target_camera.ma",
                                                      {"-c", "-l", "-g"}}),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                           std::string name = info.param.golden;
                           return name.substr(0, name.find('.'));
                         });

}  // namespace
}  // namespace kestrun::testing
