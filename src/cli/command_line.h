// Reading the command line.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "base/console.h"
#include "base/run_options.h"

namespace kestrun::cli {

/// What the command line asks for.
struct CommandLine {
  enum class Action {
    Convert,
    HelpScreen,  // -h: the help screen, and nothing else (exit status 1).
    Usage,       // --help: the full usage text (exit status 0).
    Version,     // --version: the program's name and version (exit status 0).
  };
  Action action = Action::Convert;
  std::string input_name;
  std::string output_name;
  RunOptions options;
};

/// Reads `arguments` (the first is the program's own name, not used). A
/// single argument -h, --help or --version asks for that text. Two
/// file names alone convert everything; switches after them are taken by
/// their second character, in either case, and convert only what they name.
/// Arguments after the names that begin with "--" are long options
/// (--extended, --z-up), which choose how to convert. An unrecognised switch
/// or long option is named on standard output; then, like too few
/// arguments, it throws Error(Usage).
CommandLine read_command_line(std::span<const std::string_view> arguments, Console& console);

}  // namespace kestrun::cli
