// The command line: the switches, and the arguments that end a run before
// anything is opened.
#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/run.h"
#include "test_support.h"

namespace kestrun::testing {
namespace {

using Arguments = std::vector<std::string_view>;

TEST(CommandLine, SwitchesSetExactlyTheNamedOptions) {
  // See switches_of for the letters.
  const std::pair<const char*, const char*> switches[] = {
      {"", "aglcs"},      {"-g", "gs"},       {"-a", "ags"}, {"-l -c", "lc"}, {"-s", "s"},
      {"-u -g", "aglcs"}, {"-g -U", "aglcs"}, {"/G", "gs"},  {"xl", "l"},     {"-lights -Cameras", "lc"},
      {"-a -s -a", "ags"}};
  for (const auto& [given, letters] : switches) EXPECT_EQ(switches_of(options_for(given)), letters) << given;
}

/// Runs the program on `arguments`, which must end the run with status 1,
/// open nothing and print `out` and `err`.
void expect_ending(Arguments arguments, std::string_view out, std::string_view err) {
  arguments.insert(arguments.begin(), "Kestrun");
  CapturedConsole console;
  EXPECT_EQ(run_kestrun(arguments, console, fixed_time), 1) << arguments.size();
  EXPECT_EQ(console.out(), out);
  EXPECT_EQ(console.err(), err);
}

TEST(CommandLine, TooFewArgumentsAreAUsageError) {
  for (const Arguments& arguments : std::vector<Arguments>{{}, {"in.ase"}, {"-H"}, {"-hh"}, {"/h"}}) {
    expect_ending(arguments, "", kUsage);
  }
}

TEST(CommandLine, HelpAloneOrAfterTheNamesShowsTheHelpScreen) {
  for (const Arguments& arguments :
       std::vector<Arguments>{{"-h"}, {"a", "b", "-g", "-h"}, {"a", "b", "/Help", "-x"}}) {
    expect_ending(arguments, kHelpScreen, "");
  }
}

TEST(CommandLine, UnrecognisedLettersNameTheLetterThenGiveTheUsageLine) {
  expect_ending({"a", "b", "-x", "-h"}, "Unrecognized parameter : -x\n", kUsage);
  expect_ending({"a", "b", "-"}, "Unrecognized parameter : -\n", kUsage);
  expect_ending({"a", "b", ""}, "Unrecognized parameter : -\n", kUsage);
}

TEST(CommandLine, NamesOfAnyLengthAreKept) {
  const std::string long_name(5000, 'n');
  CapturedConsole console;
  const Arguments arguments = {"Kestrun", long_name, "o"};
  EXPECT_EQ(read_command_line(arguments, console).input_name, long_name);
}

}  // namespace
}  // namespace kestrun::testing
