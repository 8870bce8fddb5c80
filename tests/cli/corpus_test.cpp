// Real scenes through the built binary: every file of the exporter corpus
// converts, and three of them, with the example scene, match golden files.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "cli/process.h"
#include "test_support.h"

namespace kestrun::testing {
namespace {

std::size_t count_matches(const std::string& text, const std::string& pattern) {
  const std::regex expression(pattern);
  return static_cast<std::size_t>(
      std::distance(std::sregex_iterator(text.begin(), text.end(), expression), std::sregex_iterator()));
}

/// The sum of the numbers that the first group of `pattern` captures.
std::size_t sum_of(const std::string& text, const std::string& pattern) {
  const std::regex expression(pattern);
  std::size_t sum = 0;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), expression); it != std::sregex_iterator();
       ++it) {
    sum += std::stoul((*it)[1].str());
  }
  return sum;
}

class Corpus : public ::testing::TestWithParam<fs::path> {};

TEST_P(Corpus, ConvertsCompletely) {
  TempDir dir;
  const ProcessResult result = run_program(kBinary, {GetParam().string(), "out.ma"}, dir.path());
  const std::string output = read_file(dir.path() / "out.ma");
  if (GetParam().filename().string().find("UTF16") != std::string::npos) {
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.err, kInvalid);
    EXPECT_EQ(output, "");
    return;
  }
  ASSERT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(result.out.ends_with(" Completed\nout.ma Generated\n\nThankyou for using Kestrun 1.1\n"))
      << result.out;
  EXPECT_TRUE(output.ends_with("// End of out.ma ")) << "the trailer closes the file";

  // One mesh node per GEOMOBJECT whose own NODE_NAME carries a string.
  const std::string scene = read_file(GetParam());
  const std::size_t named_objects = count_matches(scene, R"(\*GEOMOBJECT \{\s*\*NODE_NAME ")");
  EXPECT_EQ(count_matches(output, " createNode mesh -n "), named_objects);
  EXPECT_EQ(count_matches(output, "initialShadingGroup.dsm"), named_objects);

  // Every vertex and face list is written, whole lines, with its declared count.
  EXPECT_EQ(count_matches(output, R"(\n {17}-?\d+\.\d{6} -?\d+\.\d{6} -?\d+\.\d{6}(?=\n))"),
            sum_of(scene, R"(\*MESH_NUMVERTEX (\d+))"));
  EXPECT_EQ(count_matches(output, R"(\n {1,2}f 3 \d+ \d+ \d+(?=\n))"),
            sum_of(scene, R"(\*MESH_NUMFACES (\d+))"));
}

INSTANTIATE_TEST_SUITE_P(Files, Corpus, ::testing::ValuesIn(corpus_scenes()),
                         [](const auto& info) { return test_name(info.param.filename().string()); });

// Whole conversions compared byte for byte with reviewed golden files.
struct GoldenCase {
  const char* input;   // Relative to the source tree.
  const char* golden;  // In tests/data/golden, also the output file's name.
  std::vector<std::string> switches;
};

class Golden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, OutputMatchesByteForByte) {
  const GoldenCase& c = GetParam();
  TempDir dir;
  const fs::path input = kSource / c.input;
  fs::copy_file(input, dir.path() / input.filename());
  std::vector<std::string> arguments = {input.filename().string(), c.golden};
  arguments.insert(arguments.end(), c.switches.begin(), c.switches.end());
  const ProcessResult result = run_program(kBinary, arguments, dir.path());
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
                         [](const auto& info) { return fs::path(info.param.golden).stem().string(); });

}  // namespace
}  // namespace kestrun::testing
