#include "driver/run.h"

#include <sys/stat.h>

#include <memory>
#include <new>
#include <string>

#include "base/error.h"
#include "base/version.h"
#include "driver/command_line.h"
#include "driver/messages.h"
#include "io/background_sink.h"
#include "io/byte_sink.h"
#include "io/byte_source.h"

namespace kestrun {
namespace {

/// Runs `steps`; an error they throw is printed as its message. Returns the
/// exit status.
template <class Steps>
int reporting_errors(Console& console, Steps&& steps) {
  ErrorCode code{};
  try {
    return steps();
  } catch (const Error& error) {
    code = error.code();
  } catch (const std::bad_alloc&) {
    code = ErrorCode::ConversionFailed;
  }
  console.write_err(message_text(code));
  return 1;
}

/// True when both names refer to one existing file (links followed): opening
/// the output would then truncate the input.
bool same_file(const std::string& first, const std::string& second) {
  struct stat first_status {};
  struct stat second_status {};
  return ::stat(first.c_str(), &first_status) == 0 && ::stat(second.c_str(), &second_status) == 0 &&
         first_status.st_dev == second_status.st_dev && first_status.st_ino == second_status.st_ino;
}

int convert_files(std::span<const std::string_view> arguments, Console& console, const Clock& clock) {
  const CommandLine line = read_command_line(arguments, console);
  if (line.show_help) {
    print_help(console);
    return 1;
  }
  if (same_file(line.input_name, line.output_name)) {
    throw Error(ErrorCode::OutputOpen);
  }
  const std::unique_ptr<FileSink> output = FileSink::create(line.output_name);
  if (!output) {
    throw Error(ErrorCode::OutputOpen);
  }
  std::unique_ptr<FileSource> input = FileSource::open(line.input_name);
  if (!input) {
    throw Error(ErrorCode::InputOpen);
  }
  console.write_out("\n");
  console.write_out("Entering files\n");
  {
    BackgroundSink background(*output);  // The disk works while the next block is formatted.
    ConversionReport report;
    convert_stream(*input, background, line.options, {line.input_name, line.output_name}, console, clock,
                   report);
  }
  input.reset();
  console.print("\nThankyou for using Kestrun %s\n", kProgramVersion);
  return 0;
}

}  // namespace

int run_kestrun(std::span<const std::string_view> arguments, Console& console, const Clock& clock) {
  const int status = reporting_errors(console, [&] { return convert_files(arguments, console, clock); });
  console.flush_out();
  return status;
}

int run_conversion(ByteSource& input, ByteSink& output, const RunOptions& options, StreamNames names,
                   Console& console, const Clock& clock) {
  return reporting_errors(console, [&] {
    ConversionReport report;
    convert_stream(input, output, options, names, console, clock, report);
    return 0;
  });
}

}  // namespace kestrun
