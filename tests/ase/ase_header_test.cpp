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

TEST(HeaderCheck, TheIntegerVersion200MustBeAmongTheFirstElevenTokens) {
  // UTF-8's byte order mark is three bytes of 128-255: three unknown tokens of the eleven.
  for (const std::string& text : {header_after(0), header_after(10), "\xEF\xBB\xBF" + header_after(7)}) {
    const ConversionResult result = convert_text(text);
    EXPECT_EQ(result.exit_status, 0) << text;
    EXPECT_EQ(result.combined, "in.ase Completed\nout.ma Generated\n") << text;
    EXPECT_TRUE(result.output.starts_with(expected_header())) << text;
  }
  for (const std::string& text :
       {header_after(11), "\xEF\xBB\xBF" + header_after(8), header_after(0, "200.0"), header_after(0, "201"),
        header_after(0, "\"200\""), header_after(0, "-200"), header_after(0, "")}) {
    const ConversionResult result = convert_text(text);
    EXPECT_EQ(result.exit_status, 1) << text;
    EXPECT_EQ(result.err, kInvalid) << text;
    EXPECT_EQ(result.output, "") << "nothing is written before the header is accepted: " << text;
  }
}

}  // namespace
}  // namespace kestrun::testing
