// The text the command line prints on request: the help screen of -h.
#pragma once

#include "base/console.h"

namespace kestrun {

/// Prints the help screen (-h) on standard output, as it has always been.
void print_help(Console& console);

}  // namespace kestrun
