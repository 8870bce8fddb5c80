// The release binary under valgrind's memcheck: every corpus scene in both
// modes and the failure paths, with no memory error and no leak. Skipped, saying so, where
// valgrind is not installed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/process.h"
#include "test_support.h"

namespace kestrun::testing {
namespace {

struct MemcheckCase {
  std::string name, input, output;  // The input's absolute path, or the name `text` is written under.
  int exit_status;                  // Kestrun's own.
  std::string text = {};
  bool extended = false;
};

class Memcheck : public ::testing::TestWithParam<MemcheckCase> {};

TEST_P(Memcheck, NoMemoryErrorAndNoLeak) {
  TempDir dir;  // env finds valgrind on PATH, and exits with 127 if there is none.
  static const bool installed =
      run_program("/usr/bin/env", {"valgrind", "--version"}, dir.path()).exit_status == 0;
  if (!installed) GTEST_SKIP() << "valgrind is not installed: memcheck not run";
  const MemcheckCase& c = GetParam();
  const std::string log = dir.file("memcheck.log");
  if (!c.text.empty()) write_file(dir.path() / c.input, c.text);
  std::vector<std::string> arguments = {"valgrind",
                                        "--error-exitcode=1",
                                        "--leak-check=full",
                                        "--errors-for-leak-kinds=definite,indirect",
                                        "--log-file=" + log,
                                        kBinary,
                                        c.input,
                                        c.output};
  if (c.extended) arguments.emplace_back("--extended");
  const ProcessResult result = run_program("/usr/bin/env", arguments, dir.path());
  // Exit status 1 is both valgrind's on an error and Kestrun's on a failure: the log decides too.
  const std::string report = read_file(log);
  EXPECT_EQ(result.exit_status, c.exit_status) << report;
  EXPECT_NE(report.find("ERROR SUMMARY: 0 errors from 0 contexts"), std::string::npos) << report;
}

std::vector<MemcheckCase> memcheck_cases() {
  std::vector<MemcheckCase> cases;
  for (const fs::path& scene : corpus_scenes()) {
    const std::string name = scene.filename().string();
    const int status = name.find("UTF16") != std::string::npos ? 1 : 0;
    cases.push_back({name, scene.string(), "out.ma", status});
    cases.push_back({name + "Extended", scene.string(), "out.ma", status, "", true});
  }
  // The failure paths: codes 4, 7 and 8.
  cases.push_back({"MalformedBlock", "bad.ase", "out.ma", 1,
                   "*3DSMAX_ASCIIEXPORT 200\n*GEOMOBJECT {\n*NODE_NAME \"A\"\n*MESH {\n*MESH_NUMVERTEX x\n"});
  cases.push_back({"MissingInput", (kCorpus / "no-such-file.ase").string(), "out.ma", 1});
  cases.push_back({"WriteFailure", (kCorpus / "anim2.ASE").string(), "/dev/full", 1});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Runs, Memcheck, ::testing::ValuesIn(memcheck_cases()),
                         [](const auto& info) { return test_name(info.param.name); });

}  // namespace
}  // namespace kestrun::testing
