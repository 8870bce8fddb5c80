// The texts the command line prints on request: the help screen of -h, the
// usage text of --help and the version.
#pragma once

#include "base/console.h"

namespace kestrun::cli {

/// Prints the help screen (-h) on standard output, as it has always been.
void print_help(Console& console);

/// Prints the full usage text (--help) on standard output: switches, long
/// options, exit status and examples.
void print_usage(Console& console);

/// Prints "Kestrun <version>" on standard output.
void print_version(Console& console);

}  // namespace kestrun::cli
