// The command line, and the messages that end a run.
#include "driver/run_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/messages.h"
#include "test_support.h"

namespace kestrun::testing {
namespace {

using Arguments = std::vector<std::string_view>;

/// Reads the program's name and `arguments`, and with them `console`.
CommandLine read(Arguments arguments, CapturedConsole& console) {
  arguments.insert(arguments.begin(), "Kestrun");
  return read_command_line(arguments, console);
}

TEST(CommandLine, SwitchesSetExactlyTheNamedOptions) {
  // See switches_of for the letters.
  const std::pair<const char*, const char*> switches[] = {
      {"", "aglcs"},      {"-g", "gs"},       {"-a", "ags"}, {"-l -c", "lc"}, {"-s", "s"},
      {"-u -g", "aglcs"}, {"-g -U", "aglcs"}, {"/G", "gs"},  {"xl", "l"},     {"-lights -Cameras", "lc"},
      {"-a -s -a", "ags"}};
  for (const auto& [given, letters] : switches) EXPECT_EQ(switches_of(options_for(given)), letters) << given;
}

/// Reads `arguments`, which must end the run with status 1 and print `out` and `err`.
void expect_ending(const Arguments& arguments, std::string_view out, std::string_view err) {
  CapturedConsole console;
  EXPECT_EQ(ending_status([&] { read(arguments, console); }), 1) << arguments.size();
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
       std::vector<Arguments>{{"-h"}, {"a", "b", "-g", "-h"}, {"a", "b", "/Help"}}) {
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
  EXPECT_EQ(read({long_name, "o"}, console).input_name, long_name);
}

TEST(ReportError, UnexpectedEofGoesToStandardErrorAndEndsTheRun) {
  // The other ending messages are shown, stream by stream, by the whole-program runs in cli_test.
  CapturedConsole console;
  console.write_out("progress\n");
  EXPECT_EQ(ending_status([&] { report_error(console, ErrorCode::UnexpectedEof); }), 1);
  EXPECT_EQ(console.err(), "Unexpected EOF");
  EXPECT_EQ(console.combined(), "progress\nUnexpected EOF");
}

TEST(ReportError, OtherCodesPrintUnknownMessageAndReturn) {
  for (const unsigned code : {0U, 3U, 10U, 4000000000U}) {
    CapturedConsole console;
    EXPECT_EQ(ending_status([&] { report_error(console, code); }), -1) << code;
    EXPECT_EQ(console.out(), "Unknown Message!\n");
    EXPECT_EQ(console.err(), "");
  }
}

}  // namespace
}  // namespace kestrun::testing
