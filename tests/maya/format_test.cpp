#include "maya/format.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace kestrun {
namespace {

TEST(Format, RendersConversionsInOrderWithLiteralTextBetween) {
  EXPECT_EQ(format_string(" %s%d %s%d%s", "setAttr -s ", 3, "\".vt[0:", 2, "]\"\n"),
            " setAttr -s 3 \".vt[0:2]\"\n");
  EXPECT_EQ(format_string("                 %f %f %f\n", -10.0f, 0.1234f, 7.0f),
            "                 -10.000000 0.123400 7.000000\n");
  EXPECT_EQ(format_string("no conversions\n"), "no conversions\n");
  EXPECT_EQ(format_string("%d%d%d", 1, -2, std::int64_t{6'000'000'000}), "1-26000000000");
}

TEST(Format, PadsIntegersToTheirWidthLikePrintf) {
  EXPECT_EQ(format_string("%2d:", 7), " 7:");
  EXPECT_EQ(format_string("%2d:", 12), "12:");
  EXPECT_EQ(format_string("%2d:", 123), "123:");
  EXPECT_EQ(format_string("%4d ", 2001), "2001 ");
  EXPECT_EQ(format_string("%4d ", 99), "  99 ");
  EXPECT_EQ(format_string("%4d ", -5), "  -5 ");
}

TEST(Format, QuotedNamesDoubleEveryBackslash) {
  EXPECT_EQ(format_string("\"%s\"", QuotedName{"Box01"}), "\"Box01\"");
  EXPECT_EQ(format_string("\"%s\"", QuotedName{"a\\"}), "\"a\\\\\"");
  EXPECT_EQ(format_string("\"%s\"", QuotedName{"\\x\\\\y"}), "\"\\\\x\\\\\\\\y\"");
  EXPECT_EQ(format_string("\"%s\"", QuotedName{"\"quote\" stays"}), "\"\"quote\" stays\"");
}

TEST(Format, CommentTextTurnsLineEndsIntoSpaces) {
  EXPECT_EQ(format_string("//Name: %s\n", CommentText{"a\nb\r\nc.ma"}), "//Name: a b  c.ma\n");
  EXPECT_EQ(format_string("//Name: %s\n", CommentText{"dir\\x.ma"}), "//Name: dir\\x.ma\n");
}

TEST(Format, CharacterConversionTakesACharOrAShortText) {
  EXPECT_EQ(format_string("-%c\n", 'x'), "-x\n");
  EXPECT_EQ(format_string("-%c\n", std::string_view()), "-\n");
}

}  // namespace
}  // namespace kestrun
