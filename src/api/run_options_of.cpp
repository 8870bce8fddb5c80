#include "api/run_options_of.h"

namespace kestrun {

RunOptions run_options_of(const Options& options) {
  RunOptions run;
#define KESTRUN_X(name, api_default) run.name = options.name;
  KESTRUN_CONVERSION_OPTIONS(KESTRUN_X)
#undef KESTRUN_X
  return run;
}

Options api_options_of(const RunOptions& run) {
  Options options;
#define KESTRUN_X(name, api_default) options.name = run.name;
  KESTRUN_CONVERSION_OPTIONS(KESTRUN_X)
#undef KESTRUN_X
  return options;
}

}  // namespace kestrun
