// Kestrun: converts the ASE text scenes that 3ds Max exports into Maya ASCII
// scenes, from a C++ program.
//
//     kestrun::Options options;
//     options.extended = true;
//     const kestrun::Result result = kestrun::convert_file("box.ase", "box.ma", options);
//     if (!result.ok()) std::cerr << result.message << '\n';
//
// Each call converts one scene, exactly as the Kestrun command line does with
// the same options, and returns what happened instead of printing it: nothing
// is printed unless asked. Calls share no state, so any number of them may
// run at once on different threads. (Like any library, Kestrun leaves signal
// handling to the program: one that writes to pipes should ignore SIGPIPE,
// so that a pipe closed by its reader is a failed write, not the end of the
// process, and one that may meet a file size limit SIGXFSZ.)
//
// Link with the CMake target Kestrun::kestrun (find_package(Kestrun)).
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "kestrun_lists.def"

#define KESTRUN_API __attribute__((visibility("default")))

namespace kestrun {

/// The version of Kestrun, such as "1.1".
KESTRUN_API const char* version();

/// What a conversion converts and how, and where it tells its progress.
struct Options {
  // What is converted and how (kestrun_lists.def describes each): geometry,
  // animation, lights, cameras and scene (all on unless turned off), extended
  // and z_up (off).
#define KESTRUN_X(name, default_value) bool name = default_value;
  KESTRUN_CONVERSION_OPTIONS(KESTRUN_X)
#undef KESTRUN_X

  /// Prints the progress on standard output and the warnings on standard
  /// error, as the command line does.
  bool print = false;
  /// Called with each piece of progress text, as the command line prints it
  /// on standard output ("Entering Object : Box01\n"). (An exception thrown
  /// by a callback ends the conversion and leaves the call.)
  std::function<void(std::string_view)> on_progress;
  /// Called with each warning as it is told (without "Warning: " and the
  /// line end).
  std::function<void(std::string_view)> on_warning;
  /// Keeps every warning in the Result as well. A scene with a warning on
  /// each of a million objects makes a long list: a program that takes the
  /// warnings through on_warning may keep none.
  bool keep_warnings = true;

  /// Gives the local time for the output's "Last modified" line, asked once
  /// when the header is written; without it, the time then. A fixed time
  /// makes the output the same from run to run.
  std::function<std::tm()> clock;
};

/// The names a stream or text conversion writes into its output ("//Name:"
/// and the end comment; the extended mode names its root node after the
/// input's stem). A file conversion uses the file names.
struct Names {
  std::string input = "input.ase";
  std::string output = "output.ma";
};

/// How a conversion ended (kestrun_lists.def lists the failures). The numbers
/// are those of the command line's messages; each failure leaves a stream's output (or that of a file that
/// is no regular file) written up to it, and a regular output file as it was.
enum class ResultCode : int {
  ok = 0,
#define KESTRUN_X(name, internal_name, number, message) name = number,
  KESTRUN_FAILURES(KESTRUN_X)
#undef KESTRUN_X
};

/// What a conversion wrote, up to its end or its failure (kestrun_lists.def
/// describes each count).
struct Counts {
#define KESTRUN_X(type, name) type name = 0;
  KESTRUN_COUNTS(KESTRUN_X)
#undef KESTRUN_X
};

/// The outcome of one conversion.
struct Result {
  ResultCode code = ResultCode::ok;
  /// The command line's message for `code`, without a line end ("Error:
  /// Unable to open Input File"); empty when the conversion completed.
  std::string message;
  /// The extended mode's warnings, in order, without "Warning: " (unless
  /// Options::keep_warnings is off).
  std::vector<std::string> warnings;
  Counts counts;
  /// convert_text only: the Maya ASCII text written.
  std::string output;

  [[nodiscard]] bool ok() const { return code == ResultCode::ok; }
  /// The command line's exit status for this outcome: 0 or 1.
  [[nodiscard]] int exit_status() const { return ok() ? 0 : 1; }
};

/// Converts the file `input_path` into the file `output_path`, which is
/// created or replaced (never when it is the input itself) by a temporary
/// file written beside it, only when the conversion completes: after a
/// failure an existing output is as it was. An output that is no regular
/// file (a pipe, /dev/stdout) is written as the conversion goes; one that is
/// the process's standard output gets no progress, printed or handed to
/// on_progress.
KESTRUN_API Result convert_file(const std::string& input_path, const std::string& output_path,
                                const Options& options = {});

/// Converts what `input` holds into `output`, read and written on the calling
/// thread; `output` is flushed at the end. A stream that is not good before
/// the conversion is input_open or output_open, one that goes bad
/// input_read or output_write.
KESTRUN_API Result convert_stream(std::istream& input, std::ostream& output, const Options& options = {},
                                  const Names& names = {});

/// Converts the scene text `input`; the Result's `output` holds the Maya
/// ASCII text.
KESTRUN_API Result convert_text(std::string_view input, const Options& options = {}, const Names& names = {});

}  // namespace kestrun
