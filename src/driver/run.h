// Conversions of files and streams, in-process: what the command line and the
// library's API both run.
#pragma once

#include <new>
#include <optional>
#include <string>
#include <system_error>

#include "base/clock.h"
#include "base/console.h"
#include "base/conversion_report.h"
#include "base/error.h"
#include "base/run_options.h"
#include "driver/convert_bytes.h"

namespace kestrun {

/// Runs `steps` and returns the code of the Error they throw (running out of
/// memory, or of what the system gives, such as a thread, is
/// ConversionFailed), or nothing when they complete.
template <class Steps>
std::optional<ErrorCode> failure_of(Steps&& steps) {
  try {
    steps();
    return std::nullopt;
  } catch (const Error& error) {
    return error.code();
  } catch (const std::bad_alloc&) {
    return ErrorCode::ConversionFailed;
  } catch (const std::system_error&) {
    return ErrorCode::ConversionFailed;
  }
}

/// Converts the file `input_name` into the file `output_name`: refuses an
/// output that names the input itself (and names holding a NUL), opens the
/// output (a regular file through a temporary file beside it, see
/// OutputFile), then opens the input, prints "Entering files" and converts
/// (printing no progress if the output is standard output itself),
/// the output written behind on a background thread (or directly where no
/// thread can be started). A failure throws Error, as convert_bytes does,
/// and leaves an existing regular output as it was.
void convert_files(const std::string& input_name, const std::string& output_name, const RunOptions& options,
                   Console& console, const Clock& clock, ConversionReport& report);

/// True when `path` names the file that is the process's standard output
/// (/dev/stdout, the pipe or file it was redirected to): progress printed
/// there would go into the scene.
bool is_standard_output(const std::string& path);

/// Converts streams as convert_files converts files, from the header check
/// on; a failure's message is printed. Returns the exit status: 0 after a
/// complete conversion, 1 after a failure.
int run_conversion(ByteSource& input, ByteSink& output, const RunOptions& options, StreamNames names,
                   Console& console, const Clock& clock);

}  // namespace kestrun
