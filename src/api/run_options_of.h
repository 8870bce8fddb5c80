// The API's options and the driver's run options, each in terms of the other.
#pragma once

#include <kestrun/kestrun.h>

#include "base/run_options.h"

namespace kestrun {

/// What `options` asks to convert, and how (its callbacks and clock aside).
RunOptions run_options_of(const Options& options);

/// The API's options for `run`, with no callbacks and the system's clock.
Options api_options_of(const RunOptions& run);

}  // namespace kestrun
