// Real scenes through the built binary: every file of the exporter corpus
// converts, and three of them, with the example scene, match golden files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <regex>
#include <string>

#include "cli/process.h"
#include "test_support.h"

namespace kestrun::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = KESTRUN_SOURCE_DIR;
const fs::path kCorpus = kSource / "tests/data/ase-corpus";

std::vector<std::string> corpus_files() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kCorpus)) {
    const std::string extension = entry.path().extension().string();
    if (extension == ".ase" || extension == ".ASE") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::size_t count_matches(const std::string& text, const std::regex& pattern) {
  return static_cast<std::size_t>(
      std::distance(std::sregex_iterator(text.begin(), text.end(), pattern), std::sregex_iterator()));
}

/// How many lines of `text` match `pattern` as a whole.
std::size_t count_lines(const std::string& text, const std::regex& pattern) {
  std::size_t count = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (std::regex_match(text.begin() + static_cast<std::ptrdiff_t>(start),
                         text.begin() + static_cast<std::ptrdiff_t>(end), pattern)) {
      ++count;
    }
    start = end + 1;
  }
  return count;
}

/// The sum of the numbers that the first group of `pattern` captures.
std::size_t sum_of(const std::string& text, const std::regex& pattern) {
  std::size_t sum = 0;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator();
       ++it) {
    sum += std::stoul((*it)[1].str());
  }
  return sum;
}

class Corpus : public ::testing::TestWithParam<std::string> {};

TEST_P(Corpus, ConvertsCompletely) {
  const std::string name = GetParam();
  TempDir dir;
  const ProcessResult result =
      run_program_once(KESTRUN_BINARY, {(kCorpus / name).string(), "out.ma"}, dir.path());
  const std::string output = read_file(dir.path() / "out.ma");
  if (name.find("UTF16") != std::string::npos) {
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.err, "Invalid Input File");
    EXPECT_EQ(output, "");
    return;
  }
  ASSERT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(result.out.ends_with(" Completed\nout.ma Generated\n\nThankyou for using Kestrun 1.1\n"))
      << result.out;
  EXPECT_TRUE(output.ends_with("// End of out.ma ")) << "the trailer closes the file";

  // One mesh node per GEOMOBJECT whose own NODE_NAME carries a string.
  const std::string scene = read_file(kCorpus / name);
  const std::size_t named_objects = count_matches(scene, std::regex(R"(\*GEOMOBJECT \{\s*\*NODE_NAME ")"));
  EXPECT_EQ(count_matches(output, std::regex(" createNode mesh -n ")), named_objects);
  EXPECT_EQ(count_matches(output, std::regex("initialShadingGroup.dsm")), named_objects);

  // Every vertex and face list is written with its declared count.
  EXPECT_EQ(count_lines(output, std::regex(R"( {17}-?\d+\.\d{6} -?\d+\.\d{6} -?\d+\.\d{6})")),
            sum_of(scene, std::regex(R"(\*MESH_NUMVERTEX (\d+))")));
  EXPECT_EQ(count_lines(output, std::regex(R"( {1,2}f 3 \d+ \d+ \d+)")),
            sum_of(scene, std::regex(R"(\*MESH_NUMFACES (\d+))")));
}

INSTANTIATE_TEST_SUITE_P(Files, Corpus, ::testing::ValuesIn(corpus_files()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

// Whole conversions compared byte for byte with reviewed golden files.
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
