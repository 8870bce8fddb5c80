// In-memory conversions, the fixed clock and the messages a user sees: shared
// by the tests and the fuzz target, which must agree on all three.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/run_options.h"
#include "io/block_ring.h"

namespace kestrun::testing {

/// Tuesday, 5 June 2001, 09:07:03: the clock of every golden file.
inline LocalTime fixed_time() { return {3, 7, 9, 5, 5, 101, 2}; }
inline constexpr std::string_view kFixedDateLine = "//Last modified:Tue, Jun 05, 2001 09:07:03 AM\n";

// The messages a run can end with, byte for byte.
inline constexpr std::string_view kUsage =
    "Usage: Kestrun <Input File> <Output File> optional : -h for help\n";
inline constexpr std::string_view kFatal = "Some Fatal Error just occurred";
inline constexpr std::string_view kInvalid = "Invalid Input File";
inline constexpr std::string_view kCannotCreate = "Error: Unable to open/create Output File\n";
inline constexpr std::string_view kCannotOpen = "Error: Unable to open Input File\n";
inline constexpr std::string_view kCannotWrite = "Error: Unable to write Output File\n";
inline constexpr std::string_view kCannotRead = "Error: Unable to read Input File\n";

/// `err` without its leading "Warning: " lines (the extended mode's warnings).
inline std::string_view after_warnings(std::string_view err) {
  while (err.starts_with("Warning: ")) {
    const std::size_t end = err.find('\n');
    if (end == std::string_view::npos) return err;
    err.remove_prefix(end + 1);
  }
  return err;
}

/// What an in-process conversion printed and wrote.
struct ConversionResult {
  int exit_status = 0;
  std::string output;
  std::string out;
  std::string err;
  std::string combined;  // Both console streams in the order they were written.
};

/// Converts `ase_text` in memory with `options`, as the program would with
/// the names "in.ase" and "out.ma" and the fixed clock, reading it in blocks
/// of `block_size`; output beyond `output_limit` fails as a full disk would.
/// The console lines include neither "Entering files" nor the farewell,
/// which the file-level run prints.
ConversionResult convert_text(std::string_view ase_text, const RunOptions& options = RunOptions::everything(),
                              std::size_t output_limit = std::string::npos,
                              std::size_t block_size = kBlockSize);

}  // namespace kestrun::testing
