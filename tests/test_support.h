// Helpers shared by the tests: paths, temporary files, the fixed clock, the
// program's messages, in-process runs, and sinks that fail on purpose.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "driver/console.h"
#include "driver/run_error.h"
#include "driver/run_options.h"
#include "maya/byte_sink.h"
#include "maya/header.h"
#include "maya/ma_writer.h"

namespace kestrun::testing {

namespace fs = std::filesystem;

inline const fs::path kSource = KESTRUN_SOURCE_DIR;
inline const fs::path kCorpus = kSource / "tests/data/ase-corpus";

/// A fresh directory, removed with everything in it when the object dies.
class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();
  [[nodiscard]] const fs::path& path() const { return path_; }
  [[nodiscard]] std::string file(std::string_view name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

std::string read_file(const fs::path& path);
void write_file(const fs::path& path, std::string_view contents);

/// The exporter's scenes in the corpus (*.ase and *.ASE), sorted by name.
std::vector<fs::path> corpus_scenes();

/// `text` with every character that may not stand in a test name as '_'.
std::string test_name(std::string text);

/// Tuesday, 5 June 2001, 09:07:03: the clock of every golden file.
inline LocalTime fixed_time() { return {3, 7, 9, 5, 5, 101, 2}; }
inline constexpr std::string_view kFixedDateLine = "//Last modified:Tue, Jun 05, 2001 09:07:03 AM\n";

/// `output` with its date line, the one line that varies between runs, set
/// to the fixed time. Fails the test if that line is not as the header writes it.
std::string with_fixed_date(std::string output);

/// The text the header writes for `output_name` at the fixed time.
std::string expected_header(std::string_view output_name = "out.ma");

// The messages a user sees, as the program prints them.
inline constexpr std::string_view kUsage =
    "Usage: Kestrun <Input File> <Output File> optional : -h for help\n";
inline constexpr std::string_view kFatal = "Some Fatal Error just occurred";
inline constexpr std::string_view kInvalid = "Invalid Input File";
inline constexpr std::string_view kCannotCreate = "Error: Unable to open/create Output File\n";
inline constexpr std::string_view kCannotOpen = "Error: Unable to open Input File\n";
inline constexpr std::string_view kCannotWrite = "Error: Unable to write Output File\n";
inline constexpr std::string_view kCannotRead = "Error: Unable to read Input File\n";
inline constexpr std::string_view kHelpScreen =
    "\nKestrun 1.1 is a program to convert between 3DStudio Max and Maya written by :\n"
    "the Kestrun developers\n\n"
    "Usage : Kestrun <Input File> <Output File> optional : -u -g -a -l -c -s -h\n"
    "-u ..... Universal, i.e. take all supported info across platforms\n"
    "-g ..... Take geometry info\n"
    "-a ..... Take animation info\n"
    "-l ..... Take lights and light info\n"
    "-c ..... Take cameras and camera info\n"
    "-s ..... Take scene info\n"
    "-h ..... This help file\n";

/// The options that `switches` (words between blanks) give after the two
/// names "in.ase" and "out.ma" on the command line, which prints nothing.
RunOptions options_for(std::string_view switches);

/// The switches `options` sets, as the letters a(nimation), g(eometry),
/// l(ights), c(ameras) and s(cene), in that order.
std::string switches_of(const RunOptions& options);

/// The status of the RunEnded that `call` throws, or -1 if it returns.
template <class Call>
int ending_status(Call call) {
  try {
    call();
  } catch (const RunEnded& ended) {
    return ended.exit_status();
  }
  return -1;
}

/// What an in-process conversion printed and wrote.
struct ConversionResult {
  int exit_status = 0;
  std::string output;
  std::string out;
  std::string err;
  std::string combined;
};

/// Converts `ase_text` in memory with `options`, as the program would with
/// the names "in.ase" and "out.ma" and the fixed clock. The console lines
/// include neither "Entering files" nor the farewell, which the file-level
/// run prints.
ConversionResult convert_text(std::string_view ase_text, const RunOptions& options = RunOptions::everything(),
                              std::size_t output_limit = std::string::npos);

/// What `write(MaWriter&)` puts out through a writer with `buffer_size`.
template <class Write>
std::string written_by(Write write, std::size_t buffer_size = MaWriter::kDefaultBufferSize) {
  MemorySink sink;
  {
    MaWriter out(sink, buffer_size);
    write(out);
  }
  return sink.contents();
}

/// A sink that fails like a full disk from its n-th write on (never for 0),
/// and at close if asked; it keeps what it took.
class FailingSink final : public ByteSink {
 public:
  explicit FailingSink(int failing_write, bool failing_close = false)
      : failing_write(failing_write), failing_close(failing_close) {}
  void write(std::string_view bytes) override {
    if (failing_write != 0 && ++writes >= failing_write) throw IoFailure(ErrorCode::OutputWrite);
    contents += bytes;
  }
  void close() override {
    closed = true;
    if (failing_close) throw IoFailure(ErrorCode::OutputWrite);
  }
  int failing_write;
  bool failing_close;
  int writes = 0;
  std::string contents;
  bool closed = false;
};

}  // namespace kestrun::testing
