// The whole program, callable in-process: the one place where an error
// becomes a message and an exit status.
#pragma once

#include <span>
#include <string_view>

#include "base/clock.h"
#include "base/console.h"
#include "driver/convert_stream.h"

namespace kestrun {

/// Runs Kestrun on `arguments` (the first being the program's name): reads
/// the command line, opens the output and then the input file, converts, and
/// closes both. Returns the exit status: 0 after a complete conversion, 1
/// after any error (its message printed) or the help screen.
int run_kestrun(std::span<const std::string_view> arguments, Console& console, const Clock& clock);

/// Converts streams as run_kestrun converts files, from the header check on,
/// and returns the exit status the same way.
int run_conversion(ByteSource& input, ByteSink& output, const RunOptions& options, StreamNames names,
                   Console& console, const Clock& clock);

}  // namespace kestrun
