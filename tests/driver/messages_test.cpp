#include "driver/messages.h"

#include <gtest/gtest.h>

namespace kestrun {
namespace {

struct MessageCase {
  unsigned code;
  const char* text;
};

class EndingMessage : public ::testing::TestWithParam<MessageCase> {};

TEST_P(EndingMessage, GoesToStandardErrorAndEndsTheRun) {
  CapturedConsole console;
  console.write_out("progress\n");
  try {
    report_error(console, GetParam().code);
    FAIL() << "code " << GetParam().code << " returned";
  } catch (const RunEnded& ended) {
    EXPECT_EQ(ended.exit_status(), 1);
  }
  EXPECT_EQ(console.err(), GetParam().text);
  EXPECT_EQ(console.out(), "progress\n");
  EXPECT_EQ(console.combined(), std::string("progress\n") + GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, EndingMessage,
    ::testing::Values(MessageCase{1, "Usage: Kestrun <Input File> <Output File> optional : -h for help\n"},
                      MessageCase{2, "Unexpected EOF"}, MessageCase{4, "Some Fatal Error just occurred"},
                      MessageCase{5, "Invalid Input File"},
                      MessageCase{6, "Error: Unable to open/create Output File\n"},
                      MessageCase{7, "Error: Unable to open Input File\n"},
                      MessageCase{8, "Error: Unable to write Output File\n"},
                      MessageCase{9, "Error: Unable to read Input File\n"}));

TEST(ReportError, OtherCodesPrintUnknownMessageAndReturn) {
  for (const unsigned code : {0U, 3U, 10U, 4000000000U}) {
    CapturedConsole console;
    EXPECT_NO_THROW(report_error(console, code));
    EXPECT_EQ(console.out(), "Unknown Message!\n");
    EXPECT_EQ(console.err(), "");
  }
}

TEST(PrintHelp, PrintsTheScreenOnStandardOutputAndEndsTheRun) {
  CapturedConsole console;
  try {
    print_help(console);
    FAIL() << "help returned";
  } catch (const RunEnded& ended) {
    EXPECT_EQ(ended.exit_status(), 1);
  }
  EXPECT_EQ(console.err(), "");
  EXPECT_EQ(console.out(),
            "\nKestrun 1.1 is a program to convert between 3DStudio Max and Maya written by :\n"
            "the Kestrun developers\n\n"
            "Usage : Kestrun <Input File> <Output File> optional : -u -g -a -l -c -s -h\n"
            "-u ..... Universal, i.e. take all supported info across platforms\n"
            "-g ..... Take geometry info\n"
            "-a ..... Take animation info\n"
            "-l ..... Take lights and light info\n"
            "-c ..... Take cameras and camera info\n"
            "-s ..... Take scene info\n"
            "-h ..... This help file\n");
}

}  // namespace
}  // namespace kestrun
