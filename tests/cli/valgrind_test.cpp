// The release binary under valgrind's memcheck: every corpus scene and the
// failure paths, with no memory error and no leak. Skipped, saying so, where
// valgrind is not installed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "cli/process.h"
#include "test_support.h"

namespace kestrun::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = KESTRUN_SOURCE_DIR;
const fs::path kCorpus = kSource / "tests/data/ase-corpus";

/// valgrind's path from PATH, or empty.
std::string find_valgrind() {
  const char* path = std::getenv("PATH");
  std::string_view rest = path != nullptr ? path : "";
  while (!rest.empty()) {
    const std::size_t colon = std::min(rest.find(':'), rest.size());
    const fs::path candidate = fs::path(rest.substr(0, colon)) / "valgrind";
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
    rest.remove_prefix(std::min(colon + 1, rest.size()));
  }
  return {};
}

struct MemcheckCase {
  std::string name;
  std::string input;   // Absolute path; or, if `text` is set, the name it is written under.
  std::string output;  // Relative to the run's directory, or absolute.
  int exit_status;     // Kestrun's own.
  std::string text = {};
};

class Memcheck : public ::testing::TestWithParam<MemcheckCase> {};

TEST_P(Memcheck, NoMemoryErrorAndNoLeak) {
  static const std::string valgrind = find_valgrind();
  if (valgrind.empty()) GTEST_SKIP() << "valgrind is not installed: memcheck not run";
  const MemcheckCase& c = GetParam();
  TempDir dir;
  const std::string log = dir.file("memcheck.log");
  if (!c.text.empty()) write_file(dir.path() / c.input, c.text);
  const ProcessResult result = run_program_once(
      valgrind,
      {"--error-exitcode=1", "--leak-check=full", "--errors-for-leak-kinds=definite,indirect",
       "--log-file=" + log, KESTRUN_BINARY, c.input, c.output},
      dir.path().string());
  // Exit status 1 is both valgrind's on an error and Kestrun's own on a
  // failed run, so the log decides as well: definite and indirect leaks
  // count among its errors.
  const std::string report = read_file(log);
  EXPECT_EQ(result.exit_status, c.exit_status) << report;
  EXPECT_NE(report.find("ERROR SUMMARY: 0 errors from 0 contexts"), std::string::npos) << report;
}

std::vector<MemcheckCase> memcheck_cases() {
  std::vector<MemcheckCase> cases;
  for (const auto& entry : fs::directory_iterator(kCorpus)) {
    const std::string extension = entry.path().extension().string();
    if (extension != ".ase" && extension != ".ASE") continue;
    const std::string name = entry.path().filename().string();
    cases.push_back({name, entry.path().string(), "out.ma", name.find("UTF16") != std::string::npos ? 1 : 0});
  }
  std::sort(cases.begin(), cases.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  // The failure paths: codes 4, 7 and 8.
  cases.push_back({"MalformedBlock", "bad.ase", "out.ma", 1,
                   "*3DSMAX_ASCIIEXPORT 200\n*GEOMOBJECT {\n*NODE_NAME \"A\"\n*MESH {\n*MESH_NUMVERTEX x\n"});
  cases.push_back({"MissingInput", (kCorpus / "no-such-file.ase").string(), "out.ma", 1});
  cases.push_back({"WriteFailure", (kCorpus / "anim2.ASE").string(), "/dev/full", 1});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Runs, Memcheck, ::testing::ValuesIn(memcheck_cases()),
                         [](const ::testing::TestParamInfo<MemcheckCase>& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace kestrun::testing
