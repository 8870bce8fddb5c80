// The header check that starts every conversion.
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace kestrun::testing {
namespace {

/// `count` unknown tokens before the header keyword.
std::string header_after(int count, std::string_view version = "200") {
  std::string text;
  for (int i = 0; i < count; ++i) text += "# ";
  return text + "*3DSMAX_ASCIIEXPORT\t" + std::string(version) + "\r\n*COMMENT \"x\"\n";
}

void expect_accepted(const std::string& text) {
  const ConversionResult result = convert_text(text);
  EXPECT_EQ(result.exit_status, 0) << text;
  EXPECT_EQ(result.combined, "in.ase Completed\nout.ma Generated\n") << text;
  EXPECT_TRUE(result.output.starts_with(expected_header())) << text;
}

void expect_refused(const std::string& text) {
  const ConversionResult result = convert_text(text);
  EXPECT_EQ(result.exit_status, 1) << text;
  EXPECT_EQ(result.err, kInvalid) << text;
  EXPECT_EQ(result.output, "") << "nothing is written before the header is accepted: " << text;
}

TEST(HeaderCheck, KeywordMayBeAmongTheFirstElevenTokens) {
  expect_accepted(header_after(0));
  expect_accepted(header_after(10));
  expect_refused(header_after(11));
}

TEST(HeaderCheck, AByteOrderMarkIsPassedOverLikeAnyUnknownToken) {
  // UTF-8's mark is three bytes of 128-255: three unknown tokens of the eleven.
  expect_accepted("\xEF\xBB\xBF" + header_after(7));
  expect_refused("\xEF\xBB\xBF" + header_after(8));
}

TEST(HeaderCheck, VersionMustBeTheInteger200) {
  for (const std::string_view version : {"200.0", "201", "\"200\"", "-200", ""}) {
    expect_refused(header_after(0, version));
  }
}

}  // namespace
}  // namespace kestrun::testing
