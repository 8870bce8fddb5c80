// The command line: the switches, and the arguments that end a run before
// anything is opened.
#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "cli/run_kestrun.h"
#include "test_support.h"

namespace kestrun::testing {
namespace {

using cli::read_command_line;
using cli::run_kestrun;

using Arguments = std::vector<std::string_view>;

TEST(CommandLine, SwitchesSetExactlyTheNamedOptions) {
  // See switches_of for the letters.
  const std::pair<const char*, const char*> switches[] = {
      {"", "aglcs"},      {"-g", "gs"},       {"-a", "ags"}, {"-l -c", "lc"}, {"-s", "s"},
      {"-u -g", "aglcs"}, {"-g -U", "aglcs"}, {"/G", "gs"},  {"xl", "l"},     {"-lights -Cameras", "lc"},
      {"-a -s -a", "ags"}};
  for (const auto& [given, letters] : switches) EXPECT_EQ(switches_of(options_for(given)), letters) << given;
  const std::string long_name(5000, 'n');  // Names of any length are kept.
  CapturedConsole console;
  EXPECT_EQ(read_command_line(Arguments{"Kestrun", long_name, "o"}, console).input_name, long_name);
}

TEST(CommandLine, ArgumentsThatEndTheRunPrintUsageHelpOrTheUnrecognisedLetter) {
  const std::string unrecognised = "Unrecognized parameter : ";
  const std::tuple<Arguments, std::string, std::string_view> endings[] = {
      {{}, "", kUsage},
      {{"in.ase"}, "", kUsage},
      {{"-H"}, "", kUsage},
      {{"-hh"}, "", kUsage},
      {{"/h"}, "", kUsage},
      {{"-h"}, kHelpScreen, ""},
      {{"a", "b", "-g", "-h"}, kHelpScreen, ""},
      {{"a", "b", "/Help", "-x"}, kHelpScreen, ""},
      {{"a", "b", "-x", "-h"}, unrecognised + "-x\n", kUsage},
      {{"a", "b", "-"}, unrecognised + "-\n", kUsage},
      {{"a", "b", "-\x1b[2J"}, unrecognised + "-\\x1b\n", kUsage},  // A control letter is shown escaped.
      {{"a", "b", "--\x07"}, unrecognised + "--\\x07\n", kUsage},
      {{"a", "b", ""}, unrecognised + "-\n", kUsage}};
  for (auto [arguments, out, err] : endings) {
    arguments.insert(arguments.begin(), "Kestrun");
    CapturedConsole console;
    EXPECT_EQ(run_kestrun(arguments, console, fixed_time), 1) << arguments.size();
    EXPECT_EQ(console.out(), out) << arguments.size();
    EXPECT_EQ(console.err(), err) << arguments.size();
  }
}

}  // namespace
}  // namespace kestrun::testing
