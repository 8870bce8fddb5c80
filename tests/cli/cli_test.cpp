// Whole-program runs of the built binary: exit status, both streams, files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>

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
  fs::create_directory(dir_.path() / "folder.ma");
  for (const char* output : {"no/such/dir/out.ma", "folder.ma", ""}) {
    const ProcessResult result = run({"in.ase", output});
    EXPECT_EQ(result.exit_status, 1) << output;
    EXPECT_EQ(result.err, "Error: Unable to open/create Output File\n") << output;
    EXPECT_EQ(result.out, "") << output;
  }
  EXPECT_FALSE(exists("no"));
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
  // A small scene is written by the final flush, after the whole input was read.
  fs::copy_file(kCorpus / "anim.ASE", dir_.path() / "anim.ASE");
  const ProcessResult result = run({"anim.ASE", "/dev/full"});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.err, "Error: Unable to write Output File\n");
  EXPECT_EQ(result.combined,
            "\nEntering files\nFound Scene info\nEntering Object : Box01\nEntering Object : Box02\n"
            "anim.ASE Completed\n/dev/full Generated\nError: Unable to write Output File\n");
}

/// A scene whose one mesh declares `vertices` vertices: about 44 bytes of output each.
std::string large_scene(int vertices) {
  return "*3DSMAX_ASCIIEXPORT 200\n*GEOMOBJECT {\n*NODE_NAME \"Big\"\n*MESH {\n*MESH_NUMVERTEX " +
         std::to_string(vertices) + "\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1.0 2.0 3.0\n}\n}\n}\n";
}

TEST_F(Cli, AWriteFailureInTheMiddleEndsTheRunThere) {
  write("big.ase", large_scene(100'000));
  const ProcessResult result = run({"big.ase", "/dev/full"});
  EXPECT_EQ(result.exit_status, 1);
  // The first full buffer fails while the mesh is written, before the input ends.
  EXPECT_EQ(result.combined, "\nEntering files\nError: Unable to write Output File\n");
}

TEST_F(Cli, AnOutputPipeClosedByItsReaderIsAFailedWrite) {
  write("big.ase", large_scene(100'000));
  const std::string fifo = file("out.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::thread reader([&fifo] {
    const int descriptor = ::open(fifo.c_str(), O_RDONLY);
    char start[1000];
    if (descriptor >= 0 && ::read(descriptor, start, sizeof start) > 0) ::close(descriptor);
  });
  const ProcessResult result = run_program_once(kBinary, {"big.ase", fifo}, dir_.path().string());
  reader.join();
  EXPECT_EQ(result.exit_status, 1) << "not killed by SIGPIPE";
  EXPECT_EQ(result.err, "Error: Unable to write Output File\n");
}

TEST_F(Cli, AnOutputCutShortByTheFileSizeLimitIsAFailureNotASuccess) {
  write("big.ase", large_scene(100'000));
  const ProcessResult whole = run_program_once(kBinary, {"big.ase", "out.ma"}, dir_.path().string());
  ASSERT_EQ(whole.exit_status, 0) << whole.err;
  const std::string expected = read_file(file("out.ma"));
  const std::size_t date_end = expected.find('\n', expected.find("//Last modified:")) + 1;
  // The limit holds for the captured streams too, which take a few hundred bytes.
  for (const long limit : {1'000L, 100'000L, 262'144L, 1'000'000L}) {
    const ProcessResult cut =
        run_program_once(kBinary, {"big.ase", "out.ma"}, dir_.path().string(), {.max_file_bytes = limit});
    EXPECT_EQ(cut.exit_status, 1) << limit;
    EXPECT_EQ(cut.err, "Error: Unable to write Output File\n") << limit;
    EXPECT_EQ(cut.out.find("Thankyou"), std::string::npos) << limit;
    // The file holds exactly what fitted, and that is what the whole run
    // wrote (the date line aside, which two runs need not share).
    const std::string kept = read_file(file("out.ma"));
    ASSERT_EQ(kept.size(), static_cast<std::size_t>(limit));
    EXPECT_TRUE(kept.substr(date_end) == expected.substr(date_end, kept.size() - date_end)) << limit;
  }
}

TEST_F(Cli, MalformedBlocksAreCode4WithoutALineEnd) {
  for (const char* body : {"*GEOMOBJECT *NODE_NAME \"A\"\n}\n",
                           "*GEOMOBJECT {\n*NODE_NAME \"A\"\n*MESH {\n*MESH_NUMVERTEX many\n}\n}\n"}) {
    write("bad.ase", std::string("*3DSMAX_ASCIIEXPORT 200\n") + body);
    const ProcessResult result = run({"bad.ase", "out.ma"});
    EXPECT_EQ(result.exit_status, 1) << body;
    EXPECT_EQ(result.err, "Some Fatal Error just occurred") << body;
    EXPECT_EQ(result.combined, "\nEntering files\nSome Fatal Error just occurred") << body;
    const std::string output = read_file(file("out.ma"));
    EXPECT_TRUE(output.starts_with("//Maya ASCII 3.0 scene\n//Name: out.ma\n")) << body;
    EXPECT_EQ(output.find("animationScriptNode"), std::string::npos) << "no trailer: " << body;
  }
  // What was converted before the malformed block stays in the file.
  EXPECT_NE(read_file(file("out.ma")).find(" createNode transform -n \"A\";\n"), std::string::npos);
}

TEST_F(Cli, TextThatIsNoAseSceneIsCode5WithoutALineEnd) {
  // Read to its end in search of the header keyword: the completion lines come first.
  write("short.txt", "hi\n");
  ProcessResult result = run({"short.txt", "out.ma"});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.combined, "\nEntering files\nshort.txt Completed\nout.ma Generated\nInvalid Input File");
  EXPECT_EQ(read_file(file("out.ma")), "");
  // Eleven tokens without it, or a version other than 200: refused before the end.
  for (const char* text :
       {"Hello, this is no scene at all\n", "*3DSMAX_ASCIIEXPORT 110\n*GEOMOBJECT {\n}\n"}) {
    write("other.txt", text);
    result = run({"other.txt", "out.ma"});
    EXPECT_EQ(result.exit_status, 1) << text;
    EXPECT_EQ(result.err, "Invalid Input File") << text;
    EXPECT_EQ(result.combined, "\nEntering files\nInvalid Input File") << text;
    EXPECT_EQ(read_file(file("out.ma")), "") << text;
  }
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
