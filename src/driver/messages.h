// What the program says: the message of each error code and the help screen.
#pragma once

#include <string_view>

#include "base/console.h"
#include "base/error.h"

namespace kestrun {

/// The message a run that ends with `code` prints on standard error.
std::string_view message_text(ErrorCode code);

/// Prints the help screen on standard output.
void print_help(Console& console);

}  // namespace kestrun
