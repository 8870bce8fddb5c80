#include "cli/run_kestrun.h"

#include <kestrun/kestrun.h>

#include <optional>

#include "api/run_options_of.h"
#include "base/error.h"
#include "base/version.h"
#include "cli/command_line.h"
#include "cli/help.h"
#include "driver/messages.h"
#include "driver/run.h"

namespace kestrun::cli {
namespace {

/// The API's options for what the command line asks, with the progress and
/// warnings on `console` and the date from `clock`.
Options api_options(const RunOptions& run, Console& console, const Clock& clock) {
  Options options = api_options_of(run);
  options.on_progress = [&console](std::string_view text) { console.write_out(text); };
  options.on_warning = [&console](std::string_view text) { console.warn(text); };
  options.keep_warnings = false;  // Printed as they come, held nowhere.
  options.clock = [&clock] { return broken_down(clock()); };
  return options;
}

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
  const Result result =
      convert_file(line.input_name, line.output_name, api_options(line.options, console, clock));
  if (!result.ok()) {
    console.write_err(message_text(static_cast<ErrorCode>(result.code)));
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
