// The whole program, callable in-process.
#pragma once

#include <span>
#include <string_view>

#include "driver/console.h"
#include "maya/header.h"

namespace kestrun {

/// Runs Kestrun on `arguments` (the first being the program's name): reads
/// the command line, opens the output and then the input file, converts, and
/// closes both. Returns the exit status: 0 after a complete conversion, 1
/// after any error or the help screen.
int run_kestrun(std::span<const std::string_view> arguments, Console& console, const Clock& clock);

}  // namespace kestrun
