// The library's API (include/kestrun/kestrun.h): the same bytes as the
// in-process run behind the command line, results instead of messages,
// silence unless asked, and conversions on several threads at once.
#include <gtest/gtest.h>
#include <kestrun/kestrun.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "driver/messages.h"
#include "test_support.h"

namespace kestrun::testing {
namespace {

const fs::path kExample = kSource / "examples/box_scene.ase";

/// Options of the API at the tests' fixed clock.
Options fixed(Options options = {}) {
  options.clock = [] {
    const LocalTime t = fixed_time();
    std::tm broken_down{};
    broken_down.tm_sec = t.second;
    broken_down.tm_min = t.minute;
    broken_down.tm_hour = t.hour;
    broken_down.tm_mday = t.day_of_month;
    broken_down.tm_mon = t.month;
    broken_down.tm_year = t.years_since_1900;
    broken_down.tm_wday = t.day_of_week;
    return broken_down;
  };
  return options;
}

Options api_options(const RunOptions& run) {
  Options options = fixed();
  options.geometry = run.geometry;
  options.animation = run.animation;
  options.lights = run.lights;
  options.cameras = run.cameras;
  options.scene = run.scene;
  options.extended = run.extended;
  options.z_up = run.z_up;
  return options;
}

const Names kNames{"in.ase", "out.ma"};

/// How often `text` holds `pattern`.
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

/// Every corpus scene and the example with the option sets of the tests.
struct Case {
  fs::path scene;
  std::string switches;
};
std::vector<Case> cases() {
  std::vector<Case> all;
  std::vector<fs::path> scenes = corpus_scenes();
  scenes.push_back(kExample);
  for (const fs::path& scene : scenes) {
    for (const char* switches :
         {"", "-g -l", "-a -c", "--extended", "-l -c --extended", "--extended --z-up"}) {
      all.push_back({scene, switches});
    }
  }
  return all;
}

TEST(Api, ConvertsAsTheCommandLineDoesAndCountsWhatItWrote) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.scene.filename().string() + " " + c.switches);
    const RunOptions run = options_for(c.switches);
    const std::string text = read_file(c.scene);
    const ConversionResult expected = convert_text(text, run);
    const Result result = kestrun::convert_text(text, api_options(run), kNames);

    EXPECT_EQ(result.output, expected.output);
    EXPECT_EQ(result.exit_status(), expected.exit_status);
    EXPECT_EQ(result.warnings, warning_lines(expected.err));
    // The counts agree with the nodes in the output.
    const std::string& out = result.output;
    const Counts& counts = result.counts;
    EXPECT_EQ(counts.meshes, occurrences(out, "createNode mesh "));
    EXPECT_EQ(counts.lights, occurrences(out, "createNode spotLight ") +
                                 occurrences(out, "createNode pointLight ") +
                                 occurrences(out, "createNode directionalLight ") +
                                 occurrences(out, "createNode ambientLight "));
    EXPECT_EQ(counts.cameras, occurrences(out, "createNode camera "));
    EXPECT_EQ(counts.animation_curves, occurrences(out, "createNode animCurve"));
    EXPECT_EQ(counts.materials, occurrences(out, "createNode shadingEngine "));
    EXPECT_EQ(counts.objects, occurrences(expected.out, "Entering Object : ") +
                                  occurrences(expected.out, "Entering light : ") +
                                  occurrences(expected.out, "Entering camera : "));
  }
}

TEST(Api, CountsObjectsAndThePlaybackRangeInBothModes) {
  const std::string text = read_file(kExample);
  const Result flat = kestrun::convert_text(text, fixed());
  ASSERT_TRUE(flat.ok()) << flat.message;
  EXPECT_EQ(flat.counts.objects, 3U);  // One mesh, one spot light, one camera.
  EXPECT_EQ(flat.counts.first_frame, 0);
  EXPECT_EQ(flat.counts.last_frame, 100);
  Options extended = fixed();
  extended.extended = true;
  const Result full = kestrun::convert_text(text, extended);
  ASSERT_TRUE(full.ok()) << full.message;
  EXPECT_EQ(full.counts.objects, 3U);
  EXPECT_EQ(full.counts.last_frame, 100);
  extended.scene = false;  // No timing converted: no range written.
  EXPECT_EQ(kestrun::convert_text(text, extended).counts.last_frame, 0);
}

/// The message a failure with `code` carries: the command line's, without its line end.
std::string message_of(ErrorCode code) {
  std::string message(message_text(code));
  if (message.ends_with('\n')) message.pop_back();
  return message;
}

void expect_failure(const Result& result, ResultCode code) {
  EXPECT_EQ(result.code, code);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.exit_status(), 1);
  if (code != ResultCode::usage) {
    EXPECT_EQ(result.message, message_of(static_cast<ErrorCode>(code)));
  }
}

TEST(Api, FailuresAreResultsWithTheCommandLinesCodesAndMessages) {
  TempDir dir;
  const std::string scene = read_file(kExample);
  write_file(dir.path() / "in.ase", scene);
  expect_failure(convert_file(dir.file("missing.ase"), dir.file("out.ma")), ResultCode::input_open);
  EXPECT_EQ(read_file(dir.path() / "out.ma"), "");
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
  for (const bool extended : {false, true}) {
    Options options = fixed();
    options.extended = extended;
    std::istringstream input(scene);
    std::ostringstream output;
    const Result result = convert_stream(input, output, options, kNames);
    EXPECT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(output.str(), kestrun::convert_text(scene, options, kNames).output) << extended;
  }
  std::istringstream input(scene);
  std::ofstream unopened("/no/such/folder/out.ma");
  expect_failure(convert_stream(input, unopened), ResultCode::output_open);
  std::ifstream missing("/no/such/scene.ase");
  std::ostringstream output;
  expect_failure(convert_stream(missing, output), ResultCode::input_open);

  // A stream that goes bad partway, its buffer throwing as a lost disk would.
  struct FailingBuffer : std::streambuf {
    FailingBuffer(std::string text, std::size_t failing_at) : text(std::move(text)), failing_at(failing_at) {}
    int_type underflow() override {
      if (read >= failing_at) throw std::runtime_error("disk gone");
      const std::size_t count = std::min<std::size_t>(16, failing_at - read);
      setg(text.data() + read, text.data() + read, text.data() + read + count);
      read += count;
      return traits_type::to_int_type(*gptr());
    }
    std::string text;
    std::size_t failing_at;
    std::size_t read = 0;
  } buffer(scene, 300);
  std::istream failing(&buffer);
  const Result result = convert_stream(failing, output, fixed(), kNames);
  expect_failure(result, ResultCode::input_read);
  EXPECT_TRUE(output.str().starts_with("//Maya ASCII 3.0 scene\n")) << "what was read before converts first";
}

/// Runs `steps` with the process's standard output and error going into
/// files; returns what was written to each.
template <class Steps>
std::pair<std::string, std::string> captured_standard_streams(Steps steps) {
  TempDir dir;
  std::fflush(stdout);
  std::fflush(stderr);
  const int saved_out = ::dup(1);
  const int saved_err = ::dup(2);
  std::FILE* out = std::fopen(dir.file("out").c_str(), "w");
  std::FILE* err = std::fopen(dir.file("err").c_str(), "w");
  ::dup2(::fileno(out), 1);
  ::dup2(::fileno(err), 2);
  steps();
  std::fflush(stdout);
  std::fflush(stderr);
  ::dup2(saved_out, 1);
  ::dup2(saved_err, 2);
  ::close(saved_out);
  ::close(saved_err);
  std::fclose(out);
  std::fclose(err);
  return {read_file(dir.path() / "out"), read_file(dir.path() / "err")};
}

TEST(Api, PrintsNothingUnlessAskedAndThenWhatTheCommandLinePrints) {
  TempDir dir;
  const std::string scene = read_file(kCorpus / "anim2.ASE");
  write_file(dir.path() / "in.ase", scene);
  Options extended = fixed();
  extended.extended = true;
  const ConversionResult expected = convert_text(scene, options_for("--extended"));
  ASSERT_FALSE(warning_lines(expected.err).empty()) << "a scene with warnings is needed";

  const auto silent = captured_standard_streams([&] {
    EXPECT_TRUE(kestrun::convert_text(scene, extended, kNames).ok());
    EXPECT_TRUE(convert_file(dir.file("in.ase"), dir.file("out.ma"), extended).ok());
    EXPECT_FALSE(convert_file(dir.file("missing.ase"), dir.file("out.ma"), extended).ok());
    EXPECT_FALSE(kestrun::convert_text("*3DSMAX_ASCIIEXPORT 200\n*GEOMOBJECT *NODE_NAME", fixed()).ok());
  });
  EXPECT_EQ(silent.first, "");
  EXPECT_EQ(silent.second, "");

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
  EXPECT_EQ(printed.first, expected.out);
  EXPECT_EQ(printed.second, expected.err);

  // Taken through the callback only: none kept.
  asked.print = false;
  asked.keep_warnings = false;
  warnings.clear();
  EXPECT_TRUE(kestrun::convert_text(scene, asked, kNames).warnings.empty());
  EXPECT_EQ(warnings, warning_lines(expected.err));
}

TEST(Api, ConversionsOnSeveralThreadsGiveTheBytesOfOneAtATime) {
  std::vector<std::pair<std::string, Options>> jobs;
  for (const fs::path& scene : corpus_scenes()) {
    if (fs::file_size(scene) > 500'000) continue;
    for (const bool extended : {false, true}) {
      Options options = fixed();
      options.extended = extended;
      jobs.emplace_back(read_file(scene), options);
    }
  }
  std::vector<Result> alone;
  for (const auto& [text, options] : jobs) alone.push_back(kestrun::convert_text(text, options, kNames));

  // Each thread converts every job in memory and through files of its own,
  // starting elsewhere in the list, so that different scenes overlap.
  TempDir dir;
  constexpr std::size_t kThreads = 6;
  const auto job_of = [&](std::size_t thread, std::size_t j) { return (j + thread * 3) % jobs.size(); };
  const auto file_of = [&](std::size_t thread, std::size_t index, std::string_view extension) {
    std::string name = std::to_string(thread);
    name.append("-").append(std::to_string(index)).append(extension);
    return dir.file(name);
  };
  std::vector<std::vector<Result>> texts(kThreads);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (std::size_t j = 0; j < jobs.size(); ++j) {
        const auto& [text, options] = jobs[job_of(t, j)];
        texts[t].push_back(kestrun::convert_text(text, options, kNames));
        write_file(file_of(t, job_of(t, j), ".ase"), text);
        convert_file(file_of(t, job_of(t, j), ".ase"), file_of(t, job_of(t, j), ".ma"), options);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (std::size_t t = 0; t < kThreads; ++t) {
    for (std::size_t j = 0; j < jobs.size(); ++j) {
      const std::size_t index = job_of(t, j);
      SCOPED_TRACE("thread " + std::to_string(t) + ", job " + std::to_string(index));
      EXPECT_EQ(texts[t][j].output, alone[index].output);
      EXPECT_EQ(texts[t][j].warnings, alone[index].warnings);
      EXPECT_EQ(texts[t][j].code, alone[index].code);
      // A file conversion writes what a text conversion under the files' names writes.
      const Names names{file_of(t, index, ".ase"), file_of(t, index, ".ma")};
      EXPECT_EQ(read_file(names.output),
                kestrun::convert_text(jobs[index].first, jobs[index].second, names).output);
    }
  }
}

}  // namespace
}  // namespace kestrun::testing
