#include "cli/command_line.h"

#include <optional>

#include "base/error.h"

namespace kestrun::cli {

namespace {

/// The text a single argument -h, --help or --version asks for, if it is one of them.
std::optional<CommandLine::Action> text_asked(std::string_view argument) {
  if (argument == "-h") return CommandLine::Action::HelpScreen;
  if (argument == "--help") return CommandLine::Action::Usage;
  if (argument == "--version") return CommandLine::Action::Version;
  return std::nullopt;
}

/// What the arguments after the file names chose so far.
struct Choices {
  bool any_switch = false;  // Without a switch letter, everything is converted.
  bool universal = false;
  bool extended = false;
  bool z_up = false;
};

/// Takes a long option: they choose how to convert, not what. An unknown one
/// is named and refused.
void take_long_option(std::string_view argument, Choices& choices, Console& console) {
  if (argument == "--extended") {
    choices.extended = true;
  } else if (argument == "--z-up") {
    choices.z_up = true;
  } else {
    console.print("Unrecognized parameter : %s\n", ShownName{argument});
    throw Error(ErrorCode::Usage);
  }
}

/// Takes a switch by its second character (-g, /g, xg and -geometry are all
/// "g"); returns false for the help screen, which ends the reading. An unknown
/// one is named and refused.
bool take_switch(std::string_view argument, RunOptions& options, Choices& choices, Console& console) {
  choices.any_switch = true;
  const char letter = argument.size() >= 2 ? argument[1] : '\0';
  switch (letter) {
    case 'a':
    case 'A':
      options.animation = options.scene = options.geometry = true;
      return true;
    case 'g':
    case 'G':
      options.geometry = options.scene = true;
      return true;
    case 'l':
    case 'L':
      options.lights = true;
      return true;
    case 'c':
    case 'C':
      options.cameras = true;
      return true;
    case 's':
    case 'S':
      options.scene = true;
      return true;
    case 'u':
    case 'U':
      choices.universal = true;
      return true;
    case 'h':
    case 'H':
      return false;
    default:
      // An argument without a second character shows nothing after the dash.
      console.print("Unrecognized parameter : -%s\n",
                    ShownName{argument.size() >= 2 ? argument.substr(1, 1) : ""});
      throw Error(ErrorCode::Usage);
  }
}

/// The options once every argument is taken: everything without a switch
/// letter or with -u; --z-up only with --extended.
void settle(RunOptions& options, const Choices& choices, Console& console) {
  if (!choices.any_switch || choices.universal) options = RunOptions::everything();
  if (choices.z_up && !choices.extended) {
    console.write_out("Parameter --z-up needs --extended\n");
    throw Error(ErrorCode::Usage);
  }
  options.extended = choices.extended;
  options.z_up = choices.z_up;
}

}  // namespace

CommandLine read_command_line(std::span<const std::string_view> arguments, Console& console) {
  CommandLine line;
  if (arguments.size() == 2) {
    if (const std::optional<CommandLine::Action> text = text_asked(arguments[1])) {
      line.action = *text;
      return line;
    }
  }
  if (arguments.size() < 3) throw Error(ErrorCode::Usage);
  line.input_name = arguments[1];
  line.output_name = arguments[2];
  Choices choices;
  for (const std::string_view argument : arguments.subspan(3)) {
    if (argument.starts_with("--")) {
      take_long_option(argument, choices, console);
    } else if (!take_switch(argument, line.options, choices, console)) {
      line.action = CommandLine::Action::HelpScreen;
      return line;
    }
  }
  settle(line.options, choices, console);
  return line;
}

}  // namespace kestrun::cli
