// RunOptions: what a run converts.
#pragma once

#include <kestrun/kestrun_lists.def>

namespace kestrun {

/// The categories a run converts and how (kestrun_lists.def lists them). All
/// are off until set: the command line sets those its switches ask for.
struct RunOptions {
#define KESTRUN_X(name, api_default) bool name = false;
  KESTRUN_CONVERSION_OPTIONS(KESTRUN_X)
#undef KESTRUN_X

  /// Options that convert everything, in the default mode: the API's defaults.
  static constexpr RunOptions everything() {
    RunOptions options;
#define KESTRUN_X(name, api_default) options.name = api_default;
    KESTRUN_CONVERSION_OPTIONS(KESTRUN_X)
#undef KESTRUN_X
    return options;
  }
};

}  // namespace kestrun
