#include "cli/run_kestrun.h"

#include <optional>

#include "base/conversion_report.h"
#include "base/error.h"
#include "base/version.h"
#include "cli/command_line.h"
#include "cli/help.h"
#include "driver/messages.h"
#include "driver/run.h"

namespace kestrun::cli {
namespace {

int run_command_line(std::span<const std::string_view> arguments, Console& console, const Clock& clock) {
  CommandLine line;
  if (const std::optional<ErrorCode> failure =
          failure_of([&] { line = read_command_line(arguments, console); })) {
    console.write_err(message_text(*failure));
    return 1;
  }
  switch (line.action) {
    case CommandLine::Action::HelpScreen:
      print_help(console);
      return 1;
    case CommandLine::Action::Usage:
      print_usage(console);
      return 0;
    case CommandLine::Action::Version:
      print_version(console);
      return 0;
    case CommandLine::Action::Convert:
      break;
  }
  // An output that is standard output itself gets no progress (the
  // conversion prints none) and no farewell: both would go into the scene.
  const bool into_standard_output = is_standard_output(line.output_name);
  ConversionReport report;  // The API's counts; the command line shows none.
  if (const std::optional<ErrorCode> failure = failure_of(
          [&] { convert_files(line.input_name, line.output_name, line.options, console, clock, report); })) {
    console.write_err(message_text(*failure));
    return 1;
  }
  if (!into_standard_output) console.print("\nThankyou for using Kestrun %s\n", kProgramVersion);
  return 0;
}

}  // namespace

int run_kestrun(std::span<const std::string_view> arguments, Console& console, const Clock& clock) {
  const int status = run_command_line(arguments, console, clock);
  console.flush_out();
  return status;
}

}  // namespace kestrun::cli
