#include "cli/command_line.h"

#include "base/error.h"

namespace kestrun::cli {

CommandLine read_command_line(std::span<const std::string_view> arguments, Console& console) {
  const std::size_t count = arguments.size();
  CommandLine line;
  if (count == 2) {
    const std::string_view argument = arguments[1];
    if (argument == "-h" || argument == "--help" || argument == "--version") {
      line.action = argument == "-h"       ? CommandLine::Action::HelpScreen
                    : argument == "--help" ? CommandLine::Action::Usage
                                           : CommandLine::Action::Version;
      return line;
    }
  }
  if (count < 3) {
    throw Error(ErrorCode::Usage);
  }
  line.input_name = arguments[1];
  line.output_name = arguments[2];

  RunOptions& options = line.options;
  bool any_switch = false;  // Without a switch letter, everything is converted.
  bool universal = false;
  bool extended = false;
  bool z_up = false;
  for (const std::string_view argument : arguments.subspan(3)) {
    if (argument.starts_with("--")) {
      // Long options choose how to convert, not what.
      if (argument == "--extended") {
        extended = true;
      } else if (argument == "--z-up") {
        z_up = true;
      } else {
        console.print("Unrecognized parameter : %s\n", ShownName{argument});
        throw Error(ErrorCode::Usage);
      }
      continue;
    }
    any_switch = true;
    // Only the second character counts: -g, /g, xg and -geometry are all "g".
    const char letter = argument.size() >= 2 ? argument[1] : '\0';
    switch (letter) {
      case 'a':
      case 'A':
        options.animation = options.scene = options.geometry = true;
        break;
      case 'g':
      case 'G':
        options.geometry = options.scene = true;
        break;
      case 'l':
      case 'L':
        options.lights = true;
        break;
      case 'c':
      case 'C':
        options.cameras = true;
        break;
      case 's':
      case 'S':
        options.scene = true;
        break;
      case 'u':
      case 'U':
        universal = true;
        break;
      case 'h':
      case 'H':
        line.action = CommandLine::Action::HelpScreen;
        return line;
      default:
        // An argument without a second character shows nothing after the dash.
        console.print("Unrecognized parameter : -%s\n",
                      ShownName{argument.size() >= 2 ? argument.substr(1, 1) : ""});
        throw Error(ErrorCode::Usage);
    }
  }
  if (!any_switch || universal) {
    options = RunOptions::everything();
  }
  if (z_up && !extended) {
    console.write_out("Parameter --z-up needs --extended\n");
    throw Error(ErrorCode::Usage);
  }
  options.extended = extended;
  options.z_up = z_up;
  return line;
}

}  // namespace kestrun::cli
