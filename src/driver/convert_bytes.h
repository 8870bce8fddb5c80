// The conversion of one ASE stream, from the header check to the last byte.
#pragma once

#include <string_view>

#include "base/clock.h"
#include "base/console.h"
#include "base/conversion_report.h"
#include "base/run_options.h"
#include "io/byte_sink.h"
#include "io/byte_source.h"

namespace kestrun {

/// The names a run prints and writes into the output.
struct StreamNames {
  std::string_view input_name;
  std::string_view output_name;
};

/// Where the extended mode reads its input: on a thread of its own, while
/// this one writes (files, memory), or on the calling thread (a caller's
/// stream, which the caller may use on its own thread only).
enum class Reading { Alongside, OnCallingThread };

/// Converts `input` into Maya ASCII on `output`: header check, header, scene
/// walk, trailer; then the output is flushed and closed. Progress and the
/// extended mode's warnings go to `console`, the counts of what is written
/// to `report`; a failure throws Error (or std::bad_alloc), and what was
/// written and counted before it stays. The default mode reads on the
/// calling thread; the extended mode as `reading` says.
void convert_bytes(ByteSource& input, ByteSink& output, const RunOptions& options, StreamNames names,
                   Console& console, const Clock& clock, ConversionReport& report,
                   Reading reading = Reading::Alongside);

}  // namespace kestrun
