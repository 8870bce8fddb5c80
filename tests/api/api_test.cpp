// The library's API (include/kestrun/kestrun.h): the same bytes as the
// in-process run behind the command line, results instead of messages,
// silence unless asked, and conversions on several threads at once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <kestrun/kestrun.h>
#include <pthread.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "api/run_options_of.h"
#include "base/clock.h"
#include "driver/messages.h"
#include "test_support.h"

namespace kestrun::testing {
namespace {

const fs::path kExample = kSource / "examples/box_scene.ase";
const Names kNames{"in.ase", "out.ma"};

/// The API's options for the command line's `switches`, at the tests' fixed clock.
Options fixed(std::string_view switches = "") {
  Options options = api_options_of(options_for(switches));
  options.clock = [] { return broken_down(fixed_time()); };
  return options;
}

std::size_t occurrences(std::string_view text, std::string_view pattern) {
  std::size_t count = 0;
  for (std::size_t at = text.find(pattern); at != std::string_view::npos; at = text.find(pattern, at + 1))
    ++count;
  return count;
}

/// The "Warning: " lines of a console's standard error, without the prefix.
std::vector<std::string> warning_lines(const std::string& err) {
  std::vector<std::string> lines;
  std::istringstream stream(err);
  for (std::string line; std::getline(stream, line);) {
    if (line.starts_with("Warning: ")) lines.push_back(line.substr(9));
  }
  return lines;
}

TEST(Api, ConvertsAsTheCommandLineDoesAndCountsWhatItWrote) {
  std::vector<fs::path> scenes = corpus_scenes();
  scenes.push_back(kExample);
  for (const fs::path& scene : scenes) {
    for (const char* switches :
         {"", "-g -l", "-a -c", "--extended", "-l -c --extended", "--extended --z-up"}) {
      SCOPED_TRACE(scene.filename().string() + " " + switches);
      const std::string text = read_file(scene);
      const ConversionResult expected = convert_text(text, options_for(switches));
      const Result result = kestrun::convert_text(text, fixed(switches), kNames);
      EXPECT_EQ(result.output, expected.output);
      EXPECT_EQ(result.exit_status(), expected.exit_status);
      EXPECT_EQ(result.warnings, warning_lines(expected.err));
      // The counts agree with the nodes in the output and the progress lines.
      const auto nodes = [&](std::string_view type) { return occurrences(result.output, type); };
      const Counts& counts = result.counts;
      EXPECT_EQ(counts.meshes, nodes("createNode mesh "));
      EXPECT_EQ(counts.lights, nodes("createNode spotLight ") + nodes("createNode pointLight ") +
                                   nodes("createNode directionalLight ") + nodes("createNode ambientLight "));
      EXPECT_EQ(counts.cameras, nodes("createNode camera "));
      EXPECT_EQ(counts.animation_curves, nodes("createNode animCurve"));
      EXPECT_EQ(counts.materials, nodes("createNode shadingEngine "));
      EXPECT_EQ(counts.objects, occurrences(expected.out, "Entering Object : ") +
                                    occurrences(expected.out, "Entering light : ") +
                                    occurrences(expected.out, "Entering camera : "));
    }
  }
}

TEST(Api, CountsObjectsAndThePlaybackRangeInBothModes) {
  const std::string text = read_file(kExample);
  for (const char* switches : {"", "--extended"}) {
    const Result result = kestrun::convert_text(text, fixed(switches));
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(result.counts.objects, 3U);  // One mesh, one spot light, one camera.
    EXPECT_EQ(result.counts.first_frame, 0);
    EXPECT_EQ(result.counts.last_frame, 100);
  }
  Options extended = fixed("--extended");
  extended.scene = false;  // No timing converted: no range written.
  EXPECT_EQ(kestrun::convert_text(text, extended).counts.last_frame, 0);
}

/// The failure with `code`, with the command line's message (without its line end).
void expect_failure(const Result& result, ResultCode code) {
  EXPECT_EQ(result.code, code);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.exit_status(), 1);
  if (code == ResultCode::usage) return;
  std::string message(message_text(static_cast<ErrorCode>(code)));
  if (message.ends_with('\n')) message.pop_back();
  EXPECT_EQ(result.message, message);
}

TEST(Api, FailuresAreResultsWithTheCommandLinesCodesAndMessages) {
  TempDir dir;
  const std::string scene = read_file(kExample);
  write_file(dir.path() / "in.ase", scene);
  expect_failure(convert_file(dir.file("missing.ase"), dir.file("out.ma")), ResultCode::input_open);
  EXPECT_FALSE(fs::exists(dir.path() / "out.ma")) << "a failed run makes no output";
  // A NUL inside a name is refused, never taken as the shorter name before it.
  const std::string nul_and_more("\0.more", 6);
  expect_failure(convert_file(dir.file("in.ase") + nul_and_more, dir.file("out.ma")), ResultCode::input_open);
  expect_failure(convert_file(dir.file("in.ase"), dir.file("out.ma") + nul_and_more),
                 ResultCode::output_open);
  EXPECT_FALSE(fs::exists(dir.path() / "out.ma"));
  // Swapped names: the scene, as the output, stays as it was, and no other file is left.
  write_file(dir.path() / "out.ma", "//Maya ASCII 3.0 scene\n");
  expect_failure(convert_file(dir.file("out.ma"), dir.file("in.ase")), ResultCode::not_ase_text);
  EXPECT_EQ(read_file(dir.path() / "in.ase"), scene);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
  expect_failure(convert_file(dir.file("in.ase"), dir.file("no/such/out.ma")), ResultCode::output_open);
  expect_failure(convert_file(dir.file("in.ase"), dir.file("in.ase")), ResultCode::output_open);
  EXPECT_EQ(read_file(dir.path() / "in.ase"), scene);
  expect_failure(convert_file(dir.path().string(), dir.file("out.ma")), ResultCode::input_read);
  expect_failure(convert_file(dir.file("in.ase"), "/dev/full"), ResultCode::output_write);

  expect_failure(kestrun::convert_text("no scene"), ResultCode::not_ase_text);
  const Result broken = kestrun::convert_text("*3DSMAX_ASCIIEXPORT 200\n*GEOMOBJECT *NODE_NAME \"A\"");
  expect_failure(broken, ResultCode::conversion_failed);
  EXPECT_TRUE(broken.output.starts_with("//Maya ASCII 3.0 scene\n")) << "what was written before stays";
  Options z_up;
  z_up.z_up = true;
  const Result usage = kestrun::convert_text(scene, z_up);
  expect_failure(usage, ResultCode::usage);
  EXPECT_EQ(usage.output, "");
  EXPECT_FALSE(usage.message.empty());

  // A callback's own exception ends the conversion (its threads stopped) and leaves the call.
  Options throwing = fixed();
  throwing.on_progress = [](std::string_view) { throw std::runtime_error("stop"); };
  EXPECT_THROW(convert_file(dir.file("in.ase"), dir.file("out.ma"), throwing), std::runtime_error);
}

TEST(Api, StreamsConvertAsTextAndReportTheirFailures) {
  const std::string scene = read_file(kExample);
  for (const char* switches : {"", "--extended"}) {
    std::istringstream input(scene);
    std::ostringstream output;
    const Result result = convert_stream(input, output, fixed(switches), kNames);
    EXPECT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(output.str(), kestrun::convert_text(scene, fixed(switches), kNames).output) << switches;
  }
  std::istringstream input(scene);
  std::ofstream unopened("/no/such/folder/out.ma");
  expect_failure(convert_stream(input, unopened), ResultCode::output_open);
  std::ifstream missing("/no/such/scene.ase");
  std::ostringstream output;
  expect_failure(convert_stream(missing, output), ResultCode::input_open);

  // A stream that goes bad partway, its buffer throwing as a lost disk would.
  struct FailingBuffer : std::streambuf {
    explicit FailingBuffer(std::string text) : text(std::move(text)) {}
    int_type underflow() override {
      if (read >= 300) throw std::runtime_error("disk gone");
      setg(text.data() + read, text.data() + read, text.data() + read + 16);
      read += 16;
      return traits_type::to_int_type(*gptr());
    }
    std::string text;
    std::size_t read = 0;
  } buffer(scene);
  std::istream failing(&buffer);
  expect_failure(convert_stream(failing, output, fixed(), kNames), ResultCode::input_read);
  EXPECT_TRUE(output.str().starts_with("//Maya ASCII 3.0 scene\n")) << "what was read before converts first";

  // An output whose buffer throws an exception of its own, whether or not the stream's exception
  // mask passes it on: a failed write, not an exception leaving the call.
  struct ThrowingBuffer : std::streambuf {
    int_type overflow(int_type) override { throw std::runtime_error("disk gone"); }
  };
  for (const bool masked : {false, true}) {
    for (const char* switches : {"", "--extended"}) {
      ThrowingBuffer throwing;
      std::ostream broken(&throwing);
      if (masked) broken.exceptions(std::ios_base::badbit);
      std::istringstream scene_stream(scene);
      expect_failure(convert_stream(scene_stream, broken, fixed(switches), kNames), ResultCode::output_write);
    }
  }
}

TEST(Api, StreamsAreReadAndWrittenOnTheCallingThreadInBothModes) {
  // A caller's streams may be used on its own thread only, as the header promises.
  struct NotingBuffer : std::stringbuf {
    using std::stringbuf::stringbuf;
    int_type underflow() override {
      threads.insert(std::this_thread::get_id());
      return std::stringbuf::underflow();
    }
    std::streamsize xsgetn(char* to, std::streamsize count) override {
      threads.insert(std::this_thread::get_id());
      return std::stringbuf::xsgetn(to, count);
    }
    std::streamsize xsputn(const char* from, std::streamsize count) override {
      threads.insert(std::this_thread::get_id());
      return std::stringbuf::xsputn(from, count);
    }
    std::set<std::thread::id> threads;
  };
  const std::string scene = read_file(kCorpus / "anim2.ASE");
  for (const char* switches : {"", "--extended"}) {
    NotingBuffer in_buffer(scene, std::ios_base::in), out_buffer(std::ios_base::out);
    std::istream input(&in_buffer);
    std::ostream output(&out_buffer);
    EXPECT_TRUE(convert_stream(input, output, fixed(switches), kNames).ok());
    EXPECT_EQ(out_buffer.str(), kestrun::convert_text(scene, fixed(switches), kNames).output) << switches;
    EXPECT_EQ(in_buffer.threads, std::set{std::this_thread::get_id()}) << switches;
    EXPECT_EQ(out_buffer.threads, std::set{std::this_thread::get_id()}) << switches;
  }
}

/// Runs `steps` with the process's standard output and error going into files; returns what each got.
template <class Steps>
std::pair<std::string, std::string> captured_standard_streams(Steps steps) {
  TempDir dir;
  int saved[3] = {};
  std::fflush(nullptr);
  for (const int stream : {1, 2}) {
    saved[stream] = ::dup(stream);
    const int file = ::open(dir.file(std::to_string(stream)).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(file, stream);
    ::close(file);
  }
  steps();
  std::fflush(nullptr);
  for (const int stream : {1, 2}) {
    ::dup2(saved[stream], stream);
    ::close(saved[stream]);
  }
  return {read_file(dir.path() / "1"), read_file(dir.path() / "2")};
}

TEST(Api, PrintsNothingUnlessAskedAndThenWhatTheCommandLinePrints) {
  TempDir dir;
  const std::string scene = read_file(kCorpus / "anim2.ASE");
  write_file(dir.path() / "in.ase", scene);
  const Options extended = fixed("--extended");
  const ConversionResult expected = convert_text(scene, options_for("--extended"));
  ASSERT_FALSE(warning_lines(expected.err).empty()) << "a scene with warnings is needed";

  const auto silent = captured_standard_streams([&] {
    EXPECT_TRUE(kestrun::convert_text(scene, extended, kNames).ok());
    EXPECT_TRUE(convert_file(dir.file("in.ase"), dir.file("out.ma"), extended).ok());
    EXPECT_FALSE(convert_file(dir.file("missing.ase"), dir.file("out.ma"), extended).ok());
    EXPECT_FALSE(kestrun::convert_text("*3DSMAX_ASCIIEXPORT 200\n*GEOMOBJECT *NODE_NAME", fixed()).ok());
  });
  EXPECT_EQ(silent, (std::pair<std::string, std::string>()));

  // Asked: the callbacks receive the command line's progress and warnings,
  // and `print` puts them on the standard streams as it does.
  Options asked = extended;
  std::string progress;
  std::vector<std::string> warnings;
  asked.on_progress = [&](std::string_view text) { progress += text; };
  asked.on_warning = [&](std::string_view text) { warnings.emplace_back(text); };
  asked.print = true;
  Result result;
  const auto printed =
      captured_standard_streams([&] { result = kestrun::convert_text(scene, asked, kNames); });
  EXPECT_EQ(progress, expected.out);
  EXPECT_EQ(warnings, warning_lines(expected.err));
  EXPECT_EQ(result.warnings, warnings);
  EXPECT_EQ(printed, std::pair(expected.out, expected.err));

  // Taken through the callback only: none kept.
  asked.print = false;
  asked.keep_warnings = false;
  warnings.clear();
  EXPECT_TRUE(kestrun::convert_text(scene, asked, kNames).warnings.empty());
  EXPECT_EQ(warnings, warning_lines(expected.err));
}

/// Runs `steps` while no thread can start: the default stack of a new thread is then larger than
/// any address space, as a limit on processes or memory would refuse it.
template <class Steps>
void without_threads(Steps steps) {
  pthread_attr_t saved, huge;
  ASSERT_EQ(pthread_getattr_default_np(&saved), 0);
  ASSERT_EQ(pthread_attr_init(&huge), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&huge, std::size_t{1} << 47), 0);
  ASSERT_EQ(pthread_setattr_default_np(&huge), 0);
  EXPECT_THROW(std::thread([] {}).join(), std::system_error) << "a thread started";
  steps();
  pthread_setattr_default_np(&saved);
  pthread_attr_destroy(&huge);
  pthread_attr_destroy(&saved);
}

TEST(Api, WhereNoThreadCanStartEveryCallConvertsOnTheCallingThread) {
  TempDir dir;
  const std::string scene = read_file(kCorpus / "anim2.ASE");
  write_file(dir.path() / "in.ase", scene);
  for (const char* switches : {"", "--extended"}) {
    SCOPED_TRACE(switches);
    const Options options = fixed(switches);
    const Result expected = kestrun::convert_text(scene, options, kNames);
    ASSERT_TRUE(expected.ok());
    const Names files{dir.file("in.ase"), dir.file("out.ma")};
    const std::string expected_file = kestrun::convert_text(scene, options, files).output;
    without_threads([&] {
      const Result text = kestrun::convert_text(scene, options, kNames);
      EXPECT_TRUE(text.ok()) << text.message;
      EXPECT_EQ(text.output, expected.output);
      EXPECT_EQ(text.warnings, expected.warnings);
      std::istringstream input(scene);
      std::ostringstream output;
      EXPECT_TRUE(convert_stream(input, output, options, kNames).ok());
      EXPECT_EQ(output.str(), expected.output);
      const Result file = convert_file(files.input, files.output, options);
      EXPECT_TRUE(file.ok()) << file.message;
      EXPECT_EQ(file.warnings, expected.warnings);
    });
    EXPECT_EQ(read_file(dir.path() / "out.ma"), expected_file);
  }
}

TEST(Api, ConversionsOnSeveralThreadsGiveTheBytesOfOneAtATime) {
  std::vector<std::pair<std::string, Options>> jobs;
  for (const fs::path& scene : corpus_scenes()) {
    if (fs::file_size(scene) > 500'000) continue;
    for (const char* switches : {"", "--extended"}) jobs.emplace_back(read_file(scene), fixed(switches));
  }
  std::vector<Result> alone;
  for (const auto& [text, options] : jobs) alone.push_back(kestrun::convert_text(text, options, kNames));

  // Each thread converts every job in memory and through files of its own,
  // starting elsewhere in the list, so that different scenes overlap.
  TempDir dir;
  constexpr std::size_t kThreads = 6;
  const auto file_of = [&](std::size_t thread, std::size_t job, const char* extension) {
    return dir.file(std::to_string(thread) + "-" + std::to_string(job) + extension);
  };
  std::vector<std::vector<Result>> texts(kThreads, std::vector<Result>(jobs.size()));
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (std::size_t j = 0; j < jobs.size(); ++j) {
        const std::size_t job = (j + t * 3) % jobs.size();
        const auto& [text, options] = jobs[job];
        texts[t][job] = kestrun::convert_text(text, options, kNames);
        write_file(file_of(t, job, ".ase"), text);
        convert_file(file_of(t, job, ".ase"), file_of(t, job, ".ma"), options);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (std::size_t t = 0; t < kThreads; ++t) {
    for (std::size_t job = 0; job < jobs.size(); ++job) {
      SCOPED_TRACE("thread " + std::to_string(t) + ", job " + std::to_string(job));
      EXPECT_EQ(texts[t][job].output, alone[job].output);
      EXPECT_EQ(texts[t][job].warnings, alone[job].warnings);
      EXPECT_EQ(texts[t][job].code, alone[job].code);
      // A file conversion writes what a text conversion under the files' names writes.
      const Names names{file_of(t, job, ".ase"), file_of(t, job, ".ma")};
      EXPECT_EQ(read_file(names.output),
                kestrun::convert_text(jobs[job].first, jobs[job].second, names).output);
    }
  }
}

}  // namespace
}  // namespace kestrun::testing
