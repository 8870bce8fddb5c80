// The command-line program, callable in-process: it reads the arguments and
// converts through the library's API.
#pragma once

#include <span>
#include <string_view>

#include "base/clock.h"
#include "base/console.h"

namespace kestrun::cli {

/// Runs Kestrun on `arguments` (the first being the program's name): reads
/// the command line, then converts the input file into the output file with
/// kestrun::convert_file, its progress and warnings on `console` and the time
/// of its date line from `clock`. Returns the exit status: 0 after a complete
/// conversion, --help or --version; 1 after any error (its message printed)
/// or the help screen.
int run_kestrun(std::span<const std::string_view> arguments, Console& console, const Clock& clock);

}  // namespace kestrun::cli
