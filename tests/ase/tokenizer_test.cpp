#include "ase/tokenizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "ase/byte_source.h"

namespace kestrun {
namespace {

/// Tokenizes `text` and returns the kinds up to and including the first End.
std::vector<int> kinds_of(const std::string& text) {
  MemorySource bytes(text);
  Tokenizer tokens(bytes, nullptr);
  std::vector<int> kinds;
  for (int i = 0; i < 10000; ++i) {
    tokens.next_token();
    kinds.push_back(static_cast<int>(tokens.kind()));
    if (tokens.kind() == TokenKind::End) break;
  }
  return kinds;
}

/// A tokenizer over a text, for looking at one token at a time.
class Tokens {
 public:
  explicit Tokens(std::string text)
      : text_(std::move(text)), bytes_(text_), tokens_(bytes_, [this] { ++end_calls; }) {}
  const Token& next() {
    tokens_.next_token();
    return tokens_.token();
  }
  Tokenizer& tokenizer() { return tokens_; }
  int end_calls = 0;

 private:
  std::string text_;
  MemorySource bytes_;
  Tokenizer tokens_;
};

TEST(Tokenizer, ReadsTheFileHeader) {
  Tokens tokens("*3DSMAX_ASCIIEXPORT\t200\r\n*COMMENT \"AsciiExport\"");
  EXPECT_EQ(tokens.next().kind, TokenKind::AsciiExport);
  const Token& version = tokens.next();
  EXPECT_EQ(version.kind, TokenKind::Integer);
  EXPECT_EQ(version.integer, 200);
  EXPECT_EQ(tokens.next().kind, TokenKind::Comment);
  EXPECT_EQ(tokens.next().text(), "AsciiExport");
  EXPECT_EQ(tokens.next().kind, TokenKind::End);
  EXPECT_EQ(tokens.next().kind, TokenKind::End);
  EXPECT_EQ(tokens.end_calls, 1);
}

TEST(Tokenizer, NumbersFollowTheDigitByDigitRules) {
  Tokens tokens("-12.5000 -0.0000 7 1.2.3 5. -.5 0.1234 99999999999 -99999999999 2147483648 -2147483648");
  const Token& first = tokens.next();
  EXPECT_EQ(first.kind, TokenKind::Real);
  EXPECT_EQ(first.real, -12.5);
  const Token& zero = tokens.next();
  EXPECT_EQ(zero.kind, TokenKind::Real);
  EXPECT_EQ(zero.real, 0.0);
  EXPECT_TRUE(std::signbit(zero.real));
  const Token& seven = tokens.next();
  EXPECT_EQ(seven.kind, TokenKind::Integer);
  EXPECT_EQ(seven.integer, 7);
  EXPECT_TRUE(std::signbit(seven.real)) << "an integer leaves the real field as it was";
  EXPECT_EQ(tokens.next().real, 1.23);
  EXPECT_EQ(tokens.next().real, 5.0);
  EXPECT_EQ(tokens.next().real, -0.5);
  // Each fraction digit adds digit / 10^n in double: not always what strtod gives.
  EXPECT_EQ(tokens.next().real, ((0.0 + 1.0 / 10.0) + 2.0 / 100.0 + 3.0 / 1000.0) + 4.0 / 10000.0);
  EXPECT_EQ(tokens.next().integer, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(tokens.next().integer, std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(tokens.next().integer, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(tokens.next().integer, std::numeric_limits<std::int32_t>::min());
}

TEST(Tokenizer, HugeNumbersSaturateOrStayInfinite) {
  std::string big(401, '0');
  big[0] = '1';
  std::string text = big;
  text.append(" -").append(big).append(" ").append(big).append(".5 0.").append(400, '3');
  Tokens tokens(text);
  EXPECT_EQ(tokens.next().integer, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(tokens.next().integer, std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(tokens.next().real, std::numeric_limits<double>::infinity());
  const double third = tokens.next().real;
  EXPECT_GT(third, 0.3333333);
  EXPECT_LT(third, 0.3333334);
}

TEST(Tokenizer, NoExponentsNoPlusSignsNoLeadingPoint) {
  EXPECT_EQ(kinds_of("1e-5"), (std::vector<int>{51, 0, 51, 53}));
  EXPECT_EQ(kinds_of("+3"), (std::vector<int>{0, 51, 53}));
  EXPECT_EQ(kinds_of(".5"), (std::vector<int>{49, 51, 53}));
}

TEST(Tokenizer, ALoneMinusSignIsAnUnknownTokenOfItsOwn) {
  EXPECT_EQ(kinds_of("- 5"), (std::vector<int>{0, 51, 53}));
  EXPECT_EQ(kinds_of("-x"), (std::vector<int>{0, 0, 53}));
  EXPECT_EQ(kinds_of("-"), (std::vector<int>{0, 53}));
  EXPECT_EQ(kinds_of("--5"), (std::vector<int>{0, 51, 53}));
}

TEST(Tokenizer, KeywordsAreExactAndCaseSensitive) {
  EXPECT_EQ(kinds_of("*MESH_VERTEX_LIST {"), (std::vector<int>{8, 45, 53}));
  EXPECT_EQ(kinds_of("*mesh *MESH_TVERT *MESH"), (std::vector<int>{0, 0, 5, 53}));
  EXPECT_EQ(kinds_of("* MESH"), (std::vector<int>{0, 0, 0, 0, 0, 53}));
  EXPECT_EQ(kinds_of("*_MESH"), (std::vector<int>{0, 0, 0, 0, 0, 0, 53}));
  EXPECT_EQ(kinds_of("*"), (std::vector<int>{0, 53}));
}

TEST(Tokenizer, KeywordTextKeepsAtMost128CharactersAndSurvivesALoneStar) {
  std::string text(201, 'K');
  text[0] = '*';
  Tokens tokens(text.append(" * *NODE_TM"));
  EXPECT_EQ(tokens.next().kind, TokenKind::Unknown);
  EXPECT_EQ(tokens.tokenizer().token().keyword(), std::string(128, 'K'));
  EXPECT_EQ(tokens.next().kind, TokenKind::Unknown);
  EXPECT_EQ(tokens.tokenizer().token().keyword(), std::string(128, 'K'));
  EXPECT_EQ(tokens.next().kind, TokenKind::NodeTm);
  EXPECT_EQ(tokens.tokenizer().token().keyword(), "NODE_TM");
}

TEST(Tokenizer, StringsKeepTheirTextUpTo1024Characters) {
  Tokens tokens("\"\" \"a\tb\" \"" + std::string(2000, 'n') + "\" \"multi\r\nline\" 5 \"unterminated");
  EXPECT_EQ(tokens.next().text(), " ");
  EXPECT_EQ(tokens.next().text(), "a b");
  EXPECT_EQ(tokens.next().text(), std::string(1024, 'n'));
  EXPECT_EQ(tokens.next().text(), "multi  line");
  const Token& number = tokens.next();
  EXPECT_EQ(number.kind, TokenKind::Integer);
  EXPECT_EQ(number.text(), "multi  line") << "a number leaves the text as it was";
  const Token& cut = tokens.next();
  EXPECT_EQ(cut.kind, TokenKind::String);
  EXPECT_EQ(cut.text(), "unterminated");
  EXPECT_EQ(tokens.next().kind, TokenKind::End);
}

TEST(Tokenizer, SingleCharactersTakeTheirTableKind) {
  EXPECT_EQ(kinds_of("{ } : . # + [ a Z"), (std::vector<int>{45, 46, 47, 49, 0, 0, 0, 0, 0, 53}));
}

TEST(Tokenizer, HighBytesAndByteAcAreOrdinary) {
  EXPECT_EQ(kinds_of("\xAC \xE2\x82\xAC 5"), (std::vector<int>{0, 0, 0, 0, 51, 53}));
  Tokens tokens("\"price \xE2\x82\xAC\xAC\"");
  EXPECT_EQ(tokens.next().text(), "price \xE2\x82\xAC\xAC");
  EXPECT_EQ(tokens.next().kind, TokenKind::End);
  EXPECT_EQ(tokens.end_calls, 1);
}

TEST(Tokenizer, FaceLineGivesOneTokenPerLabelColonAndNumber) {
  EXPECT_EQ(kinds_of("*MESH_FACE 0: A: 0 B: 2 C: 3"),
            (std::vector<int>{11, 51, 47, 0, 47, 51, 0, 47, 51, 0, 47, 51, 53}));
}

TEST(Tokenizer, EndOfInputIsSeenAsSoonAsTheLastTokenIsRead) {
  Tokens tokens("}");
  EXPECT_EQ(tokens.next().kind, TokenKind::Rbrace);
  EXPECT_TRUE(tokens.tokenizer().end_of_input());
  EXPECT_TRUE(tokens.tokenizer().at_end());
  Tokens spaced("} ");
  EXPECT_EQ(spaced.next().kind, TokenKind::Rbrace);
  EXPECT_FALSE(spaced.tokenizer().end_of_input());
}

}  // namespace
}  // namespace kestrun
