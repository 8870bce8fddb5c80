#include "driver/run_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/run_error.h"

namespace kestrun {
namespace {

struct Switches {
  bool animation, geometry, lights, cameras, scene;
};

struct SwitchCase {
  std::vector<std::string_view> switches;
  Switches expected;
};

class SwitchTable : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchTable, SetsExactlyTheNamedSwitches) {
  std::vector<std::string_view> arguments = {"Kestrun", "in.ase", "out.ma"};
  arguments.insert(arguments.end(), GetParam().switches.begin(), GetParam().switches.end());
  CapturedConsole console;
  const CommandLine line = read_command_line(arguments, console);
  EXPECT_EQ(line.input_name, "in.ase");
  EXPECT_EQ(line.output_name, "out.ma");
  const Switches& expected = GetParam().expected;
  EXPECT_EQ(line.options.animation, expected.animation);
  EXPECT_EQ(line.options.geometry, expected.geometry);
  EXPECT_EQ(line.options.lights, expected.lights);
  EXPECT_EQ(line.options.cameras, expected.cameras);
  EXPECT_EQ(line.options.scene, expected.scene);
  EXPECT_EQ(console.combined(), "");
}

constexpr Switches kAll{true, true, true, true, true};

INSTANTIATE_TEST_SUITE_P(
    Arguments, SwitchTable,
    ::testing::Values(SwitchCase{{}, kAll}, SwitchCase{{"-g"}, {false, true, false, false, true}},
                      SwitchCase{{"-a"}, {true, true, false, false, true}},
                      SwitchCase{{"-l", "-c"}, {false, false, true, true, false}},
                      SwitchCase{{"-s"}, {false, false, false, false, true}}, SwitchCase{{"-u", "-g"}, kAll},
                      SwitchCase{{"-g", "-U"}, kAll}, SwitchCase{{"/G"}, {false, true, false, false, true}},
                      SwitchCase{{"xl"}, {false, false, true, false, false}},
                      SwitchCase{{"-lights", "-Cameras"}, {false, false, true, true, false}},
                      SwitchCase{{"-a", "-s", "-a"}, {true, true, false, false, true}}));

/// Reads `arguments`; returns the exit status the run ended with, or -1.
int ending_status(const std::vector<std::string_view>& arguments, CapturedConsole& console) {
  try {
    read_command_line(arguments, console);
  } catch (const RunEnded& ended) {
    return ended.exit_status();
  }
  return -1;
}

constexpr std::string_view kUsage = "Usage: Kestrun <Input File> <Output File> optional : -h for help\n";

TEST(CommandLine, TooFewArgumentsAreAUsageError) {
  for (const auto& arguments : std::vector<std::vector<std::string_view>>{
           {"Kestrun"}, {"Kestrun", "in.ase"}, {"Kestrun", "-H"}, {"Kestrun", "-hh"}, {"Kestrun", "/h"}}) {
    CapturedConsole console;
    EXPECT_EQ(ending_status(arguments, console), 1);
    EXPECT_EQ(console.err(), kUsage);
    EXPECT_EQ(console.out(), "");
  }
}

TEST(CommandLine, HelpAloneOrAfterTheNamesShowsTheHelpScreen) {
  for (const auto& arguments : std::vector<std::vector<std::string_view>>{
           {"Kestrun", "-h"}, {"Kestrun", "a", "b", "-g", "-h"}, {"Kestrun", "a", "b", "/Help"}}) {
    CapturedConsole console;
    EXPECT_EQ(ending_status(arguments, console), 1);
    EXPECT_EQ(console.out().substr(0, 13), "\nKestrun 1.1 ");
    EXPECT_EQ(console.err(), "");
  }
}

TEST(CommandLine, UnrecognisedLettersNameTheLetterThenGiveTheUsageLine) {
  CapturedConsole console;
  EXPECT_EQ(ending_status({"Kestrun", "a", "b", "-x", "-h"}, console), 1);
  EXPECT_EQ(console.out(), "Unrecognized parameter : -x\n");
  EXPECT_EQ(console.err(), kUsage);

  CapturedConsole short_switch;
  EXPECT_EQ(ending_status({"Kestrun", "a", "b", "-"}, short_switch), 1);
  EXPECT_EQ(short_switch.out(), "Unrecognized parameter : -\n");
  CapturedConsole empty_switch;
  EXPECT_EQ(ending_status({"Kestrun", "a", "b", ""}, empty_switch), 1);
  EXPECT_EQ(empty_switch.out(), "Unrecognized parameter : -\n");
}

TEST(CommandLine, NamesOfAnyLengthAreKept) {
  const std::string long_name(5000, 'n');
  CapturedConsole console;
  const CommandLine line =
      read_command_line(std::vector<std::string_view>{"Kestrun", long_name, "o"}, console);
  EXPECT_EQ(line.input_name, long_name);
}

}  // namespace
}  // namespace kestrun
