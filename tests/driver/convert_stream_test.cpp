#include "driver/convert_stream.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace kestrun {
namespace {

using testing::convert_text;

/// `count` unknown tokens before the header keyword.
std::string header_after(int count, std::string_view version = "200") {
  std::string text;
  for (int i = 0; i < count; ++i) text += "# ";
  text += "*3DSMAX_ASCIIEXPORT ";
  text += version;
  text += "\n*COMMENT \"x\"\n";
  return text;
}

TEST(HeaderCheck, KeywordMayBeAmongTheFirstElevenTokens) {
  EXPECT_EQ(convert_text(header_after(0)).exit_status, 0);
  EXPECT_EQ(convert_text(header_after(10)).exit_status, 0);
  const auto twelfth = convert_text(header_after(11));
  EXPECT_EQ(twelfth.exit_status, 1);
  EXPECT_EQ(twelfth.err, "Invalid Input File");
  EXPECT_EQ(twelfth.output, "") << "nothing is written before the header is accepted";
}

TEST(HeaderCheck, AByteOrderMarkIsPassedOverLikeAnyUnknownToken) {
  // UTF-8's mark is three bytes of 128-255: three unknown tokens of the eleven.
  const auto result = convert_text("\xEF\xBB\xBF" + header_after(7));
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(convert_text("\xEF\xBB\xBF" + header_after(8)).err, "Invalid Input File");
}

TEST(HeaderCheck, VersionMustBeTheInteger200) {
  for (const std::string_view version : {"200.0", "201", "\"200\"", "-200", ""}) {
    const auto result = convert_text(header_after(0, version));
    EXPECT_EQ(result.exit_status, 1) << version;
    EXPECT_EQ(result.err, "Invalid Input File") << version;
  }
}

TEST(HeaderCheck, EmptyInputEndsBeforeTheHeaderIsFound) {
  const auto result = convert_text("");
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.combined, "in.ase Completed\nout.ma Generated\nInvalid Input File");
}

TEST(ConvertStream, AcceptedInputGetsTheHeaderAndTheCompletionLines) {
  const auto result = convert_text("*3DSMAX_ASCIIEXPORT\t200\r\n");
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, "in.ase Completed\nout.ma Generated\n");
  EXPECT_EQ(result.output.substr(0, testing::expected_header().size()), testing::expected_header());
}

}  // namespace
}  // namespace kestrun
