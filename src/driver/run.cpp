#include "driver/run.h"

#include <sys/stat.h>

#include "ase/byte_source.h"
#include "driver/convert_stream.h"
#include "driver/messages.h"
#include "driver/run_options.h"
#include "maya/background_sink.h"
#include "maya/byte_sink.h"

namespace kestrun {
namespace {

/// True when both names refer to one existing file (links followed): opening
/// the output would then truncate the input.
bool same_file(const std::string& first, const std::string& second) {
  struct stat first_status {};
  struct stat second_status {};
  return ::stat(first.c_str(), &first_status) == 0 && ::stat(second.c_str(), &second_status) == 0 &&
         first_status.st_dev == second_status.st_dev && first_status.st_ino == second_status.st_ino;
}

void run_steps(std::span<const std::string_view> arguments, Console& console, const Clock& clock) {
  const CommandLine line = read_command_line(arguments, console);
  if (same_file(line.input_name, line.output_name)) {
    report_fatal(console, ErrorCode::OutputOpen);
  }
  const std::unique_ptr<FileSink> output = FileSink::create(line.output_name);
  if (!output) {
    report_fatal(console, ErrorCode::OutputOpen);
  }
  std::unique_ptr<FileSource> input = FileSource::open(line.input_name);
  if (!input) {
    report_fatal(console, ErrorCode::InputOpen);
  }
  console.write_out("\n");
  console.write_out("Entering files\n");
  BackgroundSink background(*output);  // The disk works while the next block is formatted.
  convert_stream(*input, background, line.options, {line.input_name, line.output_name}, console, clock);
  input.reset();
  console.print("\nThankyou for using Kestrun %s\n", PROGRAM_VERSION);
  console.flush_out();
}

}  // namespace

int run_kestrun(std::span<const std::string_view> arguments, Console& console, const Clock& clock) {
  try {
    run_steps(arguments, console, clock);
    return 0;
  } catch (const RunEnded& ended) {
    console.flush_out();
    return ended.exit_status();
  }
}

}  // namespace kestrun
