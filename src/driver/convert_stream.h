// The conversion of one ASE stream, from the header check to the last byte.
#pragma once

#include <string_view>

#include "ase/byte_source.h"
#include "ase/tokenizer.h"
#include "driver/console.h"
#include "driver/run_options.h"
#include "maya/byte_sink.h"
#include "maya/header.h"

namespace kestrun {

/// The names a run prints and writes into the output.
struct StreamNames {
  std::string_view input_name;
  std::string_view output_name;
};

/// Reads tokens up to the keyword 3DSMAX_ASCIIEXPORT (among the first 11),
/// checks that the version 200 follows, and reads one token more, on which
/// the scene walk starts. Reports code 5 otherwise.
void check_ase_header(Tokenizer& tokens, Console& console);

/// Converts `input` into Maya ASCII on `output`: header check, header, scene
/// walk, trailer, then the output is flushed and closed. Every failure,
/// including a failed read or write, is reported through `console` and ends
/// the run with RunEnded; what was written before it stays in the output.
void convert_stream(ByteSource& input, ByteSink& output, const RunOptions& options, StreamNames names,
                    Console& console, const Clock& clock);

}  // namespace kestrun
