// Whole-program runs of the built binary: exit status, both streams, files;
// every scene of the exporter corpus, and golden files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <tuple>

#include "cli/process.h"
#include "test_support.h"

namespace kestrun::testing {
namespace {

const std::string kEntering = "\nEntering files\n";
const std::string kAnimProgress = "Found Scene info\nEntering Object : Box01\nEntering Object : Box02\n";

/// A scene whose one mesh declares `vertices` vertices: about 44 bytes of output each.
std::string large_scene(int vertices) {
  return "*3DSMAX_ASCIIEXPORT 200\n*GEOMOBJECT {\n*NODE_NAME \"Big\"\n*MESH {\n*MESH_NUMVERTEX " +
         std::to_string(vertices) + "\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1.0 2.0 3.0\n}\n}\n}\n";
}

class Cli : public ::testing::Test {
 protected:
  /// Runs the binary here on a fresh "out.ma" and checks its status and both
  /// streams. A message ends the run, so 2>&1 gives `out`, then `err`.
  void expect_run(const std::vector<std::string>& arguments, int status, std::string_view out,
                  std::string_view err) {
    std::string trace = "Kestrun";
    for (const std::string& argument : arguments) trace += " '" + argument + "'";
    SCOPED_TRACE(trace);
    fs::remove(path("out.ma"));
    const ProcessResult result = run_program(kBinary, arguments, dir_.path(), {.combined = true});
    EXPECT_EQ(result.exit_status, status);
    EXPECT_EQ(result.out, out);
    EXPECT_EQ(result.err, err);
    EXPECT_EQ(result.combined, std::string(out) + std::string(err));
  }
  fs::path path(std::string_view name) const { return dir_.path() / name; }
  /// The contents of a file here, or nothing if there is no such file.
  std::optional<std::string> file(std::string_view name) const {
    if (!fs::exists(path(name))) return std::nullopt;
    return read_file(path(name));
  }
  void write(std::string_view name, std::string_view contents) const { write_file(path(name), contents); }
  void copy_from_corpus(std::string_view name) const { fs::copy_file(kCorpus / name, path(name)); }
  /// The names here, sorted: a run must leave no temporary file behind.
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(dir_.path())) found.push_back(entry.path().filename());
    std::sort(found.begin(), found.end());
    return found;
  }
  /// Runs the binary with `arguments` whose output is the pipe "out.ma", read to its end here:
  /// a run writes a pipe as it goes, so what it wrote before a failure is there.
  ProcessResult run_into_pipe(const std::vector<std::string>& arguments, std::string& output) {
    fs::remove(path("out.ma"));
    EXPECT_EQ(::mkfifo(path("out.ma").c_str(), 0600), 0);
    std::thread reader([&] { output = read_file(path("out.ma")); });
    ProcessResult result = run_program(kBinary, arguments, dir_.path());
    reader.join();
    fs::remove(path("out.ma"));
    return result;
  }

  TempDir dir_;
};

TEST_F(Cli, HelpUsageAndVersionCreateNoOutput) {
  // --help and --version alone answer with status 0; otherwise they are names.
  const std::tuple<std::vector<std::string>, int, std::string, std::string_view> endings[] = {
      {{"-h"}, 1, kHelpScreen, ""},
      {{"in.ase", "out.ma", "-g", "-H"}, 1, kHelpScreen, ""},
      {{"in.ase", "out.ma", "-x"}, 1, "Unrecognized parameter : -x\n", kUsage},
      {{}, 1, "", kUsage},
      {{"--version"}, 0, "Kestrun " + std::string(kProgramVersion) + "\n", ""},
      {{"--Help"}, 1, "", kUsage},
      {{"in.ase", "out.ma", "--help"}, 1, "Unrecognized parameter : --help\n", kUsage},
      {{"--version", "out.ma"}, 1, "", kCannotOpen}};
  for (const auto& [arguments, status, out, err] : endings) {
    expect_run(arguments, status, out, err);
    EXPECT_EQ(file("out.ma"), std::nullopt);
  }
  const ProcessResult help = run_program(kBinary, {"--help"}, dir_.path());
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_TRUE(help.out.starts_with("Usage: Kestrun <Input File> <Output File>")) << help.out;
  for (const char* named : {"-u ", "-g ", "-a ", "-l ", "-c ", "-s ", "-h ", "--extended ", "--z-up ",
                            "--help ", "--version ", "Examples:\n", "exit status"}) {
    EXPECT_NE(help.out.find(named), std::string::npos) << named;
  }
}

TEST_F(Cli, TheManualPageNamesEverySwitchAndMessage) {
  const std::string page = read_file(KESTRUN_MAN_PAGE);
  ASSERT_FALSE(page.empty());
  const auto in_roff = [](std::string text) {  // A minus sign is written \- in the page.
    std::string escaped;
    for (const char c : text) escaped += c == '-' ? std::string("\\-") : std::string(1, c);
    return escaped;
  };
  for (const char* option :
       {"-u", "-g", "-a", "-l", "-c", "-s", "-h", "--extended", "--z-up", "--help", "--version"}) {
    EXPECT_NE(page.find(".B " + in_roff(option) + "\n"), std::string::npos) << option;
  }
  for (const std::string_view message :
       {kUsage, kFatal, kInvalid, kCannotCreate, kCannotOpen, kCannotWrite, kCannotRead}) {
    std::string line(message.substr(0, message.find('\n')));
    EXPECT_NE(page.find(".B " + in_roff(line) + "\n"), std::string::npos) << line;
  }
  EXPECT_NE(page.find("Kestrun " + std::string(kProgramVersion)), std::string::npos);
  EXPECT_NE(page.find(".SH EXIT STATUS"), std::string::npos);
  EXPECT_NE(page.find(".SH EXAMPLES"), std::string::npos);
}

TEST_F(Cli, InputsAndOutputsThatCannotBeUsedAreRefused) {
  // Code 7 creates no output; code 6 creates nothing and never overwrites the input. A directory
  // that takes no new file cannot take the temporary output either (/proc/self, whose comm file
  // the program may write).
  expect_run({"missing.ase", "out.ma"}, 1, "", kCannotOpen);
  EXPECT_EQ(file("out.ma"), std::nullopt);
  const std::string scene = "*3DSMAX_ASCIIEXPORT 200\n*COMMENT \"keep me\"\n";
  write("in.ase", scene);
  fs::create_directory(path("folder.ma"));
  fs::create_symlink(path("in.ase"), path("link.ma"));
  fs::create_hard_link(path("in.ase"), path("hard.ma"));
  for (const char* output : {"no/such/dir/out.ma", "folder.ma", "", "in.ase", "./in.ase", "link.ma",
                             "hard.ma", "/proc/self/comm"}) {
    expect_run({"in.ase", output}, 1, "", kCannotCreate);
    EXPECT_EQ(file("in.ase"), scene) << output;
  }
  EXPECT_EQ(file("no"), std::nullopt);
  fs::create_directory(path("folder.ase"));  // Opened, but not readable: code 9.
  expect_run({"folder.ase", "out.ma"}, 1, kEntering, kCannotRead);
}

TEST_F(Cli, WriteFailureIsCode8) {
  // A small scene is written by the final flush, after the whole input was read; a large one
  // fails at the first full buffer, while the mesh is written, before the input ends.
  copy_from_corpus("anim.ASE");
  expect_run({"anim.ASE", "/dev/full"}, 1,
             kEntering + kAnimProgress + "anim.ASE Completed\n/dev/full Generated\n", kCannotWrite);
  write("big.ase", large_scene(100'000));
  expect_run({"big.ase", "/dev/full"}, 1, kEntering, kCannotWrite);
}

TEST_F(Cli, AWriteFailureEndsTheRunAtTheSamePlaceEveryTime) {
  // Many objects, each with its progress line: where the failure is reported
  // shows in how many lines came before it, which must not vary.
  std::string scene = "*3DSMAX_ASCIIEXPORT 200\n";
  for (int object = 0; object < 200; ++object) {
    scene += "*GEOMOBJECT {\n*NODE_NAME \"Object" + std::to_string(object) +
             "\"\n*MESH {\n*MESH_NUMVERTEX 1000\n*MESH_VERTEX_LIST {\n}\n}\n}\n";
  }
  write("many.ase", scene);
  const ProcessResult first = run_program(kBinary, {"many.ase", "/dev/full"}, dir_.path());
  EXPECT_EQ(first.exit_status, 1);
  EXPECT_EQ(first.err, kCannotWrite);
  EXPECT_NE(first.out.find("Entering Object : Object1\n"), std::string::npos) << "failed before any object";
  for (int run = 0; run < 15; ++run) {
    EXPECT_EQ(run_program(kBinary, {"many.ase", "/dev/full"}, dir_.path()).out, first.out) << run;
  }
}

TEST_F(Cli, AnOutputPipeClosedByItsReaderIsAFailedWrite) {
  write("big.ase", large_scene(100'000));
  const std::string fifo = path("out.fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::thread reader([&fifo] {
    const int descriptor = ::open(fifo.c_str(), O_RDONLY);
    char start[1000];
    if (descriptor >= 0 && ::read(descriptor, start, sizeof start) > 0) ::close(descriptor);
  });
  const ProcessResult result = run_program(kBinary, {"big.ase", fifo}, dir_.path());
  reader.join();
  EXPECT_EQ(result.exit_status, 1) << "not killed by SIGPIPE";
  EXPECT_EQ(result.err, kCannotWrite);
}

TEST_F(Cli, AnOutputCutShortByTheFileSizeLimitIsAFailureNotASuccess) {
  write("big.ase", large_scene(100'000));
  const ProcessResult whole = run_program(kBinary, {"big.ase", "out.ma"}, dir_.path());
  ASSERT_EQ(whole.exit_status, 0) << whole.err;
  const std::optional<std::string> earlier = file("out.ma");
  const std::vector<std::string> names_before = names();
  // The limit holds for the captured streams too, which take a few hundred bytes.
  for (const long limit : {1'000L, 100'000L, 262'144L, 1'000'000L}) {
    const ProcessResult cut =
        run_program(kBinary, {"big.ase", "out.ma"}, dir_.path(), {.max_file_bytes = limit});
    EXPECT_EQ(cut.exit_status, 1) << limit;
    EXPECT_EQ(cut.err, kCannotWrite) << limit;
    EXPECT_EQ(cut.out.find("Thankyou"), std::string::npos) << limit;
    // The cut output never replaced the complete one, and went away.
    EXPECT_TRUE(file("out.ma") == earlier) << limit << ": the complete output was replaced";
    EXPECT_EQ(names(), names_before) << limit;
  }
}

TEST_F(Cli, AFailedRunLeavesAnExistingOutputAsItWas) {
  // Swapped or mistyped arguments, an input that is no scene, a broken block: the output, written
  // to a temporary file beside it, replaces the file only when the conversion succeeds. The file
  // keeps its contents and permissions, a link to it stays a link, and no other file is left.
  copy_from_corpus("anim2.ASE");
  const std::string scene = read_file(kCorpus / "anim2.ASE");
  write("broken.ase", "*3DSMAX_ASCIIEXPORT 200\n*GEOMOBJECT *NODE_NAME \"A\"\n}\n");
  fs::create_directory(path("folder.ase"));
  const std::string earlier = "//Maya ASCII 3.0 scene\n// made earlier\n";
  write("target.ma", earlier);
  const fs::perms kept = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(path("target.ma"), kept);
  fs::create_symlink("target.ma", path("link.ma"));
  const std::vector<std::string> names_before = names();
  const std::tuple<std::vector<std::string>, std::string, std::string_view> failures[] = {
      {{"missing.ase", "target.ma"}, "", kCannotOpen},
      {{"folder.ase", "link.ma"}, kEntering, kCannotRead},
      {{"target.ma", "anim2.ASE"}, kEntering, kInvalid},  // Swapped: the scene is the output.
      {{"link.ma", "anim2.ASE", "--extended"}, kEntering, kInvalid},
      {{"broken.ase", "link.ma"}, kEntering, kFatal}};
  for (const auto& [arguments, out, err] : failures) {
    const ProcessResult result = run_program(kBinary, arguments, dir_.path());
    SCOPED_TRACE(arguments[0] + " " + arguments[1]);
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.out, out);
    EXPECT_EQ(result.err, err);
    EXPECT_EQ(file("target.ma"), earlier);
    EXPECT_TRUE(file("anim2.ASE") == scene) << "the scene was overwritten";
    EXPECT_TRUE(fs::is_symlink(path("link.ma")));
    EXPECT_EQ(names(), names_before);
  }
  // A complete run replaces the file the link leads to, with the permissions it had; a new
  // output has those of a file made with mode 0666 under the umask.
  ASSERT_EQ(run_program(kBinary, {"anim2.ASE", "link.ma"}, dir_.path()).exit_status, 0);
  EXPECT_TRUE(fs::is_symlink(path("link.ma")));
  EXPECT_TRUE(file("target.ma").value_or("").ends_with("// End of link.ma "));
  EXPECT_EQ(fs::status(path("target.ma")).permissions(), kept);
  EXPECT_EQ(names(), names_before);
  ASSERT_EQ(run_program(kBinary, {"anim2.ASE", "new.ma"}, dir_.path()).exit_status, 0);
  const mode_t umask = ::umask(0);
  ::umask(umask);
  EXPECT_EQ(static_cast<mode_t>(fs::status(path("new.ma")).permissions()), 0666 & ~umask);
}

TEST_F(Cli, ScenesThatCannotBeConvertedEndWithoutALineEnd) {
  // Code 4 keeps what was converted before the malformed block, without a trailer, where the
  // output is written as it goes (a pipe). Code 5: text
  // read to its end in search of the header keyword prints the completion lines first; eleven
  // tokens without it, or another version, are refused before the end.
  const std::string completed = kEntering + "in.ase Completed\nout.ma Generated\n";
  const std::string mesh = " createNode transform -n \"A\";\n createNode mesh -n \"AShape1\" -p \"A\";\n";
  const std::tuple<std::string, std::string, std::string_view, std::string> cases[] = {
      {"*3DSMAX_ASCIIEXPORT 200\n*GEOMOBJECT *NODE_NAME \"A\"\n}\n", kEntering, kFatal, expected_header()},
      {"*3DSMAX_ASCIIEXPORT 200\n*GEOMOBJECT {\n*NODE_NAME \"A\"\n*MESH {\n*MESH_NUMVERTEX many\n}\n}\n",
       kEntering, kFatal, expected_header() + mesh},
      {"hi\n", completed, kInvalid, ""},
      {"", completed, kInvalid, ""},
      {"Hello, this is no scene at all\n", kEntering, kInvalid, ""},
      {"*3DSMAX_ASCIIEXPORT 110\n*GEOMOBJECT {\n}\n", kEntering, kInvalid, ""}};
  for (const auto& [scene, out, err, output] : cases) {
    write("in.ase", scene);
    expect_run({"in.ase", "out.ma"}, 1, out, err);
    EXPECT_EQ(file("out.ma"), std::nullopt) << "a failed run replaces no file";
    // Written to a pipe as it goes: what was converted before the failure.
    std::string written;
    const ProcessResult piped = run_into_pipe({"in.ase", "out.ma"}, written);
    EXPECT_EQ(piped.out, out);
    EXPECT_EQ(piped.err, err);
    EXPECT_EQ(with_fixed_date(written), output);
  }
}

TEST_F(Cli, WhereNoThreadCanStartEachModeConvertsOnTheOneItHas) {
  // A limit on processes or memory that leaves no thread: the input is read, the scene converted
  // and the output written on the calling thread, with the same streams and file; never an abort.
  const ProcessResult probe =
      run_program("/usr/bin/python3", {"-c", "import threading; threading.Thread(target=print).start()"},
                  dir_.path(), {.no_threads = true});
  ASSERT_EQ(probe.exit_status, 1) << "a thread started: " << probe.err;
  copy_from_corpus("anim2.ASE");
  for (const bool extended : {false, true}) {
    std::vector<std::string> arguments = {"anim2.ASE", "out.ma"};
    if (extended) arguments.emplace_back("--extended");
    const ProcessResult threaded = run_program(kBinary, arguments, dir_.path());
    const std::string expected = with_fixed_date(file("out.ma").value_or(""));
    fs::remove(path("out.ma"));
    const ProcessResult alone = run_program(kBinary, arguments, dir_.path(), {.no_threads = true});
    EXPECT_EQ(alone.exit_status, 0) << alone.err;
    EXPECT_EQ(alone.out, threaded.out);
    EXPECT_EQ(alone.err, threaded.err);
    EXPECT_EQ(with_fixed_date(file("out.ma").value_or("")), expected);
  }
}

TEST_F(Cli, AnOutputThatIsStandardOutputGetsNoProgress) {
  // Kestrun in.ase /dev/stdout: progress and the farewell would go into the scene, where a name
  // such as `; system "..."` would become a statement Maya runs. Standard output a file, and a pipe.
  copy_from_corpus("anim2.ASE");
  for (const std::string mode : {"", " --extended"}) {
    SCOPED_TRACE(mode);
    const std::string to_file = kBinary + " anim2.ASE out.ma" + mode + " 2>file.err";
    ASSERT_EQ(run_program("/bin/sh", {"-c", to_file}, dir_.path()).exit_status, 0);
    std::string expected = with_fixed_date(file("out.ma").value_or(""));
    for (std::size_t at = expected.find("out.ma"); at != std::string::npos; at = expected.find("out.ma", at))
      expected.replace(at, 6, "/dev/stdout");
    std::vector<std::string> arguments = {"anim2.ASE", "/dev/stdout"};
    if (!mode.empty()) arguments.emplace_back("--extended");
    const ProcessResult into_file = run_program(kBinary, arguments, dir_.path());
    EXPECT_EQ(into_file.exit_status, 0);
    EXPECT_EQ(with_fixed_date(into_file.out), expected);
    EXPECT_EQ(into_file.err, file("file.err"));
    const std::string into_pipe = kBinary + " anim2.ASE /dev/stdout" + mode + " | cat >piped.ma";
    EXPECT_EQ(run_program("/bin/sh", {"-c", into_pipe}, dir_.path()).out, "");
    EXPECT_EQ(with_fixed_date(file("piped.ma").value_or("")), expected);
  }
}

/// How often `pattern` matches in `text`; or, if it has a group, the sum of the numbers the group captures.
std::size_t matches(const std::string& text, const std::string& pattern) {
  const std::regex expression(pattern);
  std::size_t sum = 0;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), expression); it != std::sregex_iterator();
       ++it) {
    sum += it->size() > 1 ? std::stoul((*it)[1].str()) : 1;
  }
  return sum;
}

// Every scene of the exporter corpus converts completely, but those in UTF-16, which are no ASE text.
class Corpus : public ::testing::TestWithParam<fs::path> {};

TEST_P(Corpus, ConvertsCompletely) {
  const bool utf16 = GetParam().filename().string().find("UTF16") != std::string::npos;
  TempDir dir;
  const ProcessResult result = run_program(kBinary, {GetParam().string(), "out.ma"}, dir.path());
  const std::string output = read_file(dir.path() / "out.ma");
  EXPECT_EQ(result.exit_status, utf16 ? 1 : 0);
  EXPECT_EQ(result.err, utf16 ? kInvalid : "");
  // The streams and the file are those of the in-process conversion, with the
  // program's own first and last lines; the date line aside.
  const std::string scene = read_file(GetParam());
  ConversionResult in_process = convert_text(scene);
  in_process.out.replace(in_process.out.rfind("in.ase Completed"), 6, GetParam().string());
  EXPECT_EQ(result.out,
            kEntering + in_process.out +
                (utf16 ? "" : "\nThankyou for using Kestrun " + std::string(kProgramVersion) + "\n"));
  EXPECT_EQ(with_fixed_date(output), in_process.output);
  if (utf16) return;
  EXPECT_TRUE(output.ends_with("// End of out.ma ")) << "the trailer closes the file";
  // One mesh node per GEOMOBJECT whose own NODE_NAME carries a string.
  const std::size_t named_objects = matches(scene, R"(\*GEOMOBJECT \{\s*\*NODE_NAME ")");
  EXPECT_EQ(matches(output, " createNode mesh -n "), named_objects);
  EXPECT_EQ(matches(output, "initialShadingGroup.dsm"), named_objects);
  // Every vertex and face list is written, whole lines, with its declared count.
  EXPECT_EQ(matches(output, R"(\n {17}-?\d+\.\d{6} -?\d+\.\d{6} -?\d+\.\d{6}(?=\n))"),
            matches(scene, R"(\*MESH_NUMVERTEX (\d+))"));
  EXPECT_EQ(matches(output, R"(\n {1,2}f 3 \d+ \d+ \d+(?=\n))"), matches(scene, R"(\*MESH_NUMFACES (\d+))"));
}

INSTANTIATE_TEST_SUITE_P(Files, Corpus, ::testing::ValuesIn(corpus_scenes()),
                         [](const auto& info) { return test_name(info.param.filename().string()); });

TEST(Golden, OutputsMatchByteForByte) {
  // Input (in the source tree), golden file (in tests/data/golden, also the output's name), switches.
  const std::tuple<const char*, const char*, std::vector<std::string>> cases[] = {
      {"examples/box_scene.ase", "box_scene.ma", {}},
      {"tests/data/ase-corpus/anim2.ASE", "anim2.ma", {}},
      {"tests/data/ase-corpus/TargetCameraAnim.ase", "target_camera.ma", {"-c", "-l", "-g"}}};
  for (const auto& [input, golden, switches] : cases) {
    TempDir dir;
    fs::copy_file(kSource / input, dir.path() / fs::path(input).filename());
    std::vector<std::string> arguments = {fs::path(input).filename().string(), golden};
    arguments.insert(arguments.end(), switches.begin(), switches.end());
    const ProcessResult result = run_program(kBinary, arguments, dir.path());
    ASSERT_EQ(result.exit_status, 0) << input << ": " << result.err;
    EXPECT_EQ(with_fixed_date(read_file(dir.path() / golden)),
              read_file(kSource / "tests/data/golden" / golden));
  }
}

}  // namespace
}  // namespace kestrun::testing
