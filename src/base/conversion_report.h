// ConversionReport: what a conversion wrote, counted as it is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <kestrun/kestrun_lists.def>

namespace kestrun {

/// Filled in by either mode while it writes, so that a run that fails keeps
/// the counts of what was written before the failure (kestrun_lists.def lists
/// them; the API's Counts has the same members).
struct ConversionReport {
#define KESTRUN_X(type, name) type name = 0;
  KESTRUN_COUNTS(KESTRUN_X)
#undef KESTRUN_X
};

}  // namespace kestrun
