// The numbered messages, the help screen, and the program's version.
#pragma once

#include <string_view>

#include "driver/console.h"
#include "driver/run_error.h"

namespace kestrun {

inline constexpr std::string_view PROGRAM_VERSION = "1.1";

/// Prints the message of `code` on its stream. For the ending codes (1, 2 and
/// 4 to 9) it then ends the run by throwing RunEnded(1); for 0, 3 and codes
/// above 9 it prints "Unknown Message!" on standard output and returns.
void report_error(Console& console, unsigned code);
inline void report_error(Console& console, ErrorCode code) {
  report_error(console, static_cast<unsigned>(code));
}

/// Like report_error, for a code known to end the run.
[[noreturn]] void report_fatal(Console& console, ErrorCode code);

/// Prints the help screen on standard output and ends the run (RunEnded(1)).
[[noreturn]] void print_help(Console& console);

}  // namespace kestrun
