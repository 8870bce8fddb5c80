// Whole-program runs of the built binary: exit status, both streams, files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "cli/process.h"
#include "test_support.h"

namespace kestrun::testing {
namespace {

namespace fs = std::filesystem;

const std::string kBinary = KESTRUN_BINARY;
const fs::path kCorpus = fs::path(KESTRUN_SOURCE_DIR) / "tests/data/ase-corpus";
constexpr std::string_view kUsage = "Usage: Kestrun <Input File> <Output File> optional : -h for help\n";

class Cli : public ::testing::Test {
 protected:
  ProcessResult run(const std::vector<std::string>& arguments) {
    return run_program(kBinary, arguments, dir_.path().string());
  }
  std::string file(std::string_view name) const { return dir_.file(name); }
  bool exists(std::string_view name) const { return fs::exists(dir_.path() / name); }
  void write(std::string_view name, std::string_view contents) const {
    write_file(dir_.path() / name, contents);
  }

  TempDir dir_;
};

TEST_F(Cli, ConvertsACorpusSceneAndSaysSo) {
  fs::copy_file(kCorpus / "anim.ASE", dir_.path() / "anim.ASE");
  const ProcessResult result = run({"anim.ASE", "out.ma"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out.substr(0, 16), "\nEntering files\n");
  EXPECT_NE(result.out.find("anim.ASE Completed\nout.ma Generated\n"), std::string::npos);
  EXPECT_TRUE(result.out.ends_with("out.ma Generated\n\nThankyou for using Kestrun 1.1\n")) << result.out;
  const std::string output = read_file(file("out.ma"));
  EXPECT_EQ(output.substr(0, 39), "//Maya ASCII 3.0 scene\n//Name: out.ma\n/");
  EXPECT_NE(output.find("AM\nrequires maya \"3.0\";\ncurrentUnit -l millimeter -a degree -t pal;\n\n") ==
                    std::string::npos &&
                output.find("PM\nrequires maya \"3.0\";\ncurrentUnit -l millimeter -a degree -t pal;\n\n") ==
                    std::string::npos,
            true);
}

TEST_F(Cli, Utf16FilesAreNotAseText) {
  for (const char* name : {"ThreeCubesGreen_UTF16LE.ASE", "ThreeCubesGreen_UTF16BE.ASE"}) {
    fs::copy_file(kCorpus / name, dir_.path() / name);
    const ProcessResult result = run({name, "out.ma"});
    EXPECT_EQ(result.exit_status, 1) << name;
    EXPECT_EQ(result.err, "Invalid Input File") << name;
    EXPECT_EQ(result.out, "\nEntering files\n" + std::string(name) + " Completed\nout.ma Generated\n");
    EXPECT_EQ(read_file(file("out.ma")), "");
  }
}

TEST_F(Cli, EmptyInputPrintsTheCompletionLinesThenFails) {
  write("empty.ase", "");
  const ProcessResult result = run({"empty.ase", "out.ma"});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.combined, "\nEntering files\nempty.ase Completed\nout.ma Generated\nInvalid Input File");
}

TEST_F(Cli, HelpAndUsageErrorsCreateNoOutput) {
  ProcessResult help = run({"-h"});
  EXPECT_EQ(help.exit_status, 1);
  EXPECT_EQ(help.out.substr(0, 13), "\nKestrun 1.1 ");
  EXPECT_EQ(help.err, "");

  help = run({"in.ase", "out.ma", "-g", "-H"});
  EXPECT_EQ(help.exit_status, 1);
  EXPECT_FALSE(exists("out.ma"));

  const ProcessResult bad = run({"in.ase", "out.ma", "-x"});
  EXPECT_EQ(bad.exit_status, 1);
  EXPECT_EQ(bad.combined, "Unrecognized parameter : -x\n" + std::string(kUsage));
  EXPECT_FALSE(exists("out.ma"));

  const ProcessResult none = run({});
  EXPECT_EQ(none.exit_status, 1);
  EXPECT_EQ(none.err, kUsage);
  EXPECT_EQ(none.out, "");
}

TEST_F(Cli, MissingInputLeavesAnEmptyOutput) {
  const ProcessResult result = run({"missing.ase", "out.ma"});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.err, "Error: Unable to open Input File\n");
  EXPECT_EQ(result.out, "");
  EXPECT_TRUE(exists("out.ma"));
  EXPECT_EQ(read_file(file("out.ma")), "");
}

TEST_F(Cli, OutputThatCannotBeCreatedIsCode6) {
  write("in.ase", "*3DSMAX_ASCIIEXPORT 200\n");
  const ProcessResult result = run({"in.ase", "no/such/dir/out.ma"});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.err, "Error: Unable to open/create Output File\n");
  EXPECT_EQ(result.out, "");
}

TEST_F(Cli, TheInputIsNeverOverwritten) {
  const std::string scene = "*3DSMAX_ASCIIEXPORT 200\n*COMMENT \"keep me\"\n";
  write("in.ase", scene);
  fs::create_symlink(file("in.ase"), file("link.ma"));
  fs::create_hard_link(file("in.ase"), file("hard.ma"));
  for (const char* output : {"in.ase", "./in.ase", "link.ma", "hard.ma"}) {
    const ProcessResult result = run({"in.ase", output});
    EXPECT_EQ(result.exit_status, 1) << output;
    EXPECT_EQ(result.err, "Error: Unable to open/create Output File\n") << output;
    EXPECT_EQ(read_file(file("in.ase")), scene) << output;
  }
}

TEST_F(Cli, WriteFailureIsCode8) {
  fs::copy_file(kCorpus / "anim.ASE", dir_.path() / "anim.ASE");
  const ProcessResult result = run({"anim.ASE", "/dev/full"});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.err, "Error: Unable to write Output File\n");
  EXPECT_EQ(result.out.find("Thankyou"), std::string::npos);
}

TEST_F(Cli, DirectoryInputIsAReadFailure) {
  fs::create_directory(dir_.path() / "folder.ase");
  const ProcessResult result = run({"folder.ase", "out.ma"});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.err, "Error: Unable to read Input File\n");
  EXPECT_EQ(result.combined, "\nEntering files\nError: Unable to read Input File\n");
}

}  // namespace
}  // namespace kestrun::testing
