// The tokenizer's rules, and the tables and digit scans it is built on.
#include "ase/tokenizer.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "ase/byte_scan.h"
#include "ase/byte_source.h"
#include "ase/keyword_table.h"

namespace kestrun {
namespace {

/// The tokens of `text` up to the end, one word each: the kind, and for
/// numbers and strings their value ("51=7", "50=-12.5", "52='a b'").
std::string tokens_of(const std::string& text) {
  MemorySource bytes(text);
  Tokenizer tokens(bytes, nullptr);
  std::string listing;
  for (int i = 0; i < 1000; ++i) {
    tokens.next_token();
    const Token& token = tokens.token();
    char word[64];
    std::snprintf(word, sizeof word, "%d", static_cast<int>(token.kind));
    if (token.kind == TokenKind::Integer) std::snprintf(word, sizeof word, "51=%d", token.integer);
    if (token.kind == TokenKind::Real) std::snprintf(word, sizeof word, "50=%.17g", token.real);
    listing += word;
    if (token.kind == TokenKind::String) listing += "='" + std::string(token.text()) + "'";
    if (token.kind == TokenKind::End) return listing;
    listing += ' ';
  }
  return listing + "...";
}

TEST(Tokenizer, AreCutAsTheRulesSay) {
  const std::pair<const char*, const char*> rules[] = {
      {"*3DSMAX_ASCIIEXPORT\t200\r\n*COMMENT \"Ascii\"", "1 51=200 2 52='Ascii' 53"},
      {"-12.5000 -0.0000 7 1.2.3 5. -.5", "50=-12.5 50=-0 51=7 50=1.23 50=5 50=-0.5 53"},
      // Fraction digits add digit / 10^n in double, which is not always what strtod gives.
      {"0.1234 23.0769", "50=0.12340000000000001 50=23.076900000000002 53"},
      {"2147483648 -2147483649 99999999999", "51=2147483647 51=-2147483648 51=2147483647 53"},
      {"1e-5 +3 .5", "51=1 0 51=-5 0 51=3 49 51=5 53"},
      {"- 5 -x --5 -", "0 51=5 0 0 0 51=-5 0 53"},
      {"*MESH_VERTEX_LIST { *mesh *MESH_TVERT *MESH", "8 45 0 0 5 53"},
      {"* MESH *_X *", "0 0 0 0 0 0 0 0 0 53"},
      {"\"\" \"a\tb\" \"multi\r\nline\" \"open", "52=' ' 52='a b' 52='multi  line' 52='open' 53"},
      {"{ } : . # + [ a Z", "45 46 47 49 0 0 0 0 0 53"},
      {"\xAC \xE2\x82\xAC 5 \"\xE2\x82\xAC\xAC\"", "0 0 0 0 51=5 52='\xE2\x82\xAC\xAC' 53"},
      {"*MESH_FACE 0: A: 0 B: 2 C: 3", "11 51=0 47 0 47 51=0 0 47 51=2 0 47 51=3 53"}};
  for (const auto& [text, tokens] : rules) EXPECT_EQ(tokens_of(text), tokens) << text;
}

TEST(Tokenizer, FieldsKeepTheirValuesUntilATokenOfTheirOwnSort) {
  std::string text(201, 'K');
  text[0] = '*';
  text += " * \"" + std::string(2000, 'n') + "\" 7 *NODE_TM -0.0";
  MemorySource bytes(text);
  Tokenizer tokens(bytes, nullptr);
  tokens.next_token();
  EXPECT_EQ(tokens.token().keyword(), std::string(128, 'K')) << "keywords keep 128 characters";
  tokens.next_token();
  EXPECT_EQ(tokens.token().keyword(), std::string(128, 'K')) << "a lone star keeps the keyword";
  tokens.next_token();
  EXPECT_EQ(tokens.token().text(), std::string(1024, 'n')) << "strings keep 1024 characters";
  tokens.next_token();
  EXPECT_EQ(tokens.token().text(), std::string(1024, 'n'));
  EXPECT_EQ(tokens.token().real, 0.0) << "an integer leaves the real as it was";
  tokens.next_token();
  EXPECT_EQ(tokens.token().integer, 7);
  tokens.next_token();
  EXPECT_TRUE(std::signbit(tokens.token().real));
  EXPECT_EQ(tokens.token().integer, 7);
}

TEST(Tokenizer, HugeNumbersSaturateOrStayInfinite) {
  std::string big(401, '0');
  big[0] = '1';
  EXPECT_EQ(tokens_of(big + " -" + big + " " + big + ".5"), "51=2147483647 51=-2147483648 50=inf 53");
  EXPECT_EQ(tokens_of("0." + std::string(400, '3')), "50=0.33333333333333326 53");
}

TEST(Tokenizer, TheEndIsSeenAsSoonAsTheLastCharacterIsRead) {
  int end_calls = 0;
  MemorySource bytes("}");
  Tokenizer tokens(bytes, [&end_calls] { ++end_calls; });
  tokens.next_token();
  EXPECT_EQ(tokens.kind(), TokenKind::Rbrace);
  EXPECT_TRUE(tokens.end_of_input());
  EXPECT_EQ(end_calls, 1);
  tokens.next_token();
  tokens.next_token();
  EXPECT_EQ(tokens.kind(), TokenKind::End);
  EXPECT_EQ(end_calls, 1) << "the end is announced once";
  EXPECT_EQ(tokens_of("} "), "46 53");
}

TEST(KeywordTable, EveryKeywordIsFoundWithItsKindAndNearMissesAreUnknown) {
  for (std::size_t index = 0; index < keyword_table.size(); ++index) {
    const KeywordEntry& entry = keyword_table[index];
    std::string word(entry.text);
    EXPECT_EQ(static_cast<std::size_t>(entry.kind), index + 1);
    EXPECT_EQ(find_keyword(word), entry.kind) << word;
    EXPECT_NE(find_keyword(word.substr(0, word.size() - 1)), entry.kind) << word;
    EXPECT_NE(find_keyword(word + "X"), entry.kind) << word;
    word[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(word[0])));
    if (word != entry.text) {
      EXPECT_EQ(find_keyword(word), TokenKind::Unknown) << word;
    }
  }
  EXPECT_EQ(find_keyword("GEOMOBJECT"), TokenKind::GeomObject);
  EXPECT_EQ(find_keyword("TM_ROTANGLE"), TokenKind::TmRotAngle);
  EXPECT_EQ(find_keyword(""), TokenKind::Unknown);
  EXPECT_EQ(find_keyword("MESH_TVERT"), TokenKind::Unknown);
  EXPECT_EQ(find_keyword(std::string(128, 'A')), TokenKind::Unknown);
}

TEST(CharKindTable, OnlySixCharactersHaveAKind) {
  std::string kinds;  // Each character with a kind, and its kind.
  for (std::size_t byte = 0; byte < 256; ++byte) {
    if (char_kind_table[byte] == TokenKind::Unknown) continue;
    kinds += static_cast<char>(byte) + std::to_string(static_cast<int>(char_kind_table[byte])) + " ";
  }
  EXPECT_EQ(kinds, "\"48 *44 .49 :47 {45 }46 ");
}

/// `text` followed by enough padding to be read 16 bytes at a time.
std::string padded(std::string text) { return text.append(32, '\0'); }

const unsigned char* bytes(const std::string& text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}

TEST(ByteScan, CountsRunsOfDigits) {
  EXPECT_EQ(count_digits16(bytes(padded("0123456789/:"))), 10U);
  EXPECT_EQ(count_digits16(bytes(padded(std::string(20, '7')))), 16U);
  EXPECT_EQ(count_digits16(bytes(padded("-1"))), 0U);
  for (int byte = 0; byte < 256; ++byte) {
    EXPECT_EQ(count_digits16(bytes(padded(std::string(1, static_cast<char>(byte))))),
              byte >= '0' && byte <= '9' ? 1U : 0U)
        << byte;
  }
}

TEST(ByteScan, ParsesOneToEightDigitsWhateverFollows) {
  std::mt19937 random(3);
  for (int round = 0; round < 200000; ++round) {
    const unsigned count = 1 + static_cast<unsigned>(random() % 8);
    std::string text;
    std::uint32_t expected = 0;
    for (unsigned i = 0; i < count; ++i) {
      const unsigned digit = static_cast<unsigned>(random() % 10);
      text.push_back(static_cast<char>('0' + digit));
      expected = expected * 10 + digit;
    }
    for (unsigned i = count; i < 8; ++i) text.push_back(static_cast<char>(random() % 256));
    ASSERT_EQ(parse_digits8(bytes(text), count), expected) << text.substr(0, count);
  }
  EXPECT_EQ(parse_digits8(bytes("99999999"), 8), 99999999U);
  EXPECT_EQ(parse_digits8(bytes("00000001"), 8), 1U);
}

}  // namespace
}  // namespace kestrun
