// Helpers shared by the tests: paths, temporary files, dates, command lines,
// writer captures and sinks that fail on purpose.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "base/run_options.h"
#include "base/version.h"
#include "conversion_run.h"
#include "io/byte_sink.h"
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

/// What a reader taking one line at a time with fgets into 1024 bytes
/// delivers, whitespace folded: the model the character source reproduces.
std::string line_reader_characters(std::string input);

/// `output` with its date line (either mode's), the one line that varies
/// between runs, set to the default mode's line at the fixed time. Fails the test if that line is not as the
/// header writes it.
std::string with_fixed_date(std::string output);

/// The text the header writes for `output_name` at the fixed time.
std::string expected_header(std::string_view output_name = "out.ma");

inline const std::string kHelpScreen =
    "\nKestrun " + std::string(kProgramVersion) +
    " is a program to convert between 3DStudio Max and Maya written by :\n"
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

/// Converts `input` with the command line's `switches` and compares the exit
/// status, the console and the output with the reviewed file `expected`
/// (with KESTRUN_UPDATE_CASES set, rewrites it instead: review the change).
void expect_reviewed_conversion(const fs::path& input, std::string_view switches, const fs::path& expected);

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
struct FailingSink final : ByteSink {
  explicit FailingSink(int failing_write, bool failing_close = false)
      : failing_write(failing_write), failing_close(failing_close) {}
  void write(std::string_view bytes) override {
    if (failing_write != 0 && ++writes >= failing_write) throw Error(ErrorCode::OutputWrite);
    contents += bytes;
  }
  void close() override {
    closed = true;
    if (failing_close) throw Error(ErrorCode::OutputWrite);
  }
  int failing_write;
  bool failing_close, closed = false;
  int writes = 0;
  std::string contents;
};

}  // namespace kestrun::testing
