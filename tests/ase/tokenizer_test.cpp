// The tokenizer's rules, and the tables and digit scans it is built on.
#include "ase/tokenizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "base/byte_scan.h"
#include "io/byte_source.h"

namespace kestrun::flat {
namespace {

/// The kinds' names as the code spells them, in kind order.
constexpr std::string_view kKindNames[] = {"Unknown",
#define KESTRUN_NAME(name, text) #name,
                                           KESTRUN_FLAT_KEYWORDS(KESTRUN_NAME)
                                               KESTRUN_ASE_PUNCTUATION(KESTRUN_NAME)
#undef KESTRUN_NAME
                                                   "Real",
                                           "Integer", "String", "End"};
static_assert(std::size(kKindNames) == static_cast<std::size_t>(TokenKind::End) + 1);

/// The tokens of `text` up to the end, one word each: the kind's name, and
/// for numbers and strings their value ("Integer=7", "String='a b'").
std::string tokens_of(const std::string& text) {
  MemorySource bytes(text);
  Tokenizer tokens(bytes, nullptr);
  std::string listing;
  for (int i = 0; i < 1000; ++i) {
    tokens.next_token();
    const Token& token = tokens.token();
    listing += kKindNames[static_cast<std::size_t>(token.kind)];
    char value[64];
    if (token.kind == TokenKind::Integer) listing.append("=").append(std::to_string(token.integer));
    if (token.kind == TokenKind::Real)
      listing.append(value, std::snprintf(value, sizeof value, "=%.17g", token.real));
    if (token.kind == TokenKind::String) listing.append("='").append(token.text()).append("'");
    if (token.kind == TokenKind::End) return listing;
    listing += ' ';
  }
  return listing + "...";
}

TEST(Tokenizer, AreCutAsTheRulesSay) {
  const std::pair<const char*, const char*> rules[] = {
      {"*3DSMAX_ASCIIEXPORT\t200\r\n*COMMENT \"Ascii\"",
       "AsciiExport Integer=200 Comment String='Ascii' End"},
      {"-12.5000 -0.0000 7 1.2.3 5. -.5", "Real=-12.5 Real=-0 Integer=7 Real=1.23 Real=5 Real=-0.5 End"},
      // Fraction digits add digit / 10^n in double, which is not always what strtod gives.
      {"0.1234 23.0769", "Real=0.12340000000000001 Real=23.076900000000002 End"},
      {"2147483648 -2147483649 99999999999", "Integer=2147483647 Integer=-2147483648 Integer=2147483647 End"},
      {"1e-5 +3 .5", "Integer=1 Unknown Integer=-5 Unknown Integer=3 Dot Integer=5 End"},
      {"- 5 -x --5 -", "Unknown Integer=5 Unknown Unknown Unknown Integer=-5 Unknown End"},
      {"*MESH_VERTEX_LIST { *mesh *MESH_TVERT *MESH", "MeshVertexList Lbrace Unknown Unknown Mesh End"},
      {"* MESH *_X *", "Unknown Unknown Unknown Unknown Unknown Unknown Unknown Unknown Unknown End"},
      {"\"\" \"a\tb\" \"multi\r\nline\" \"open",
       "String=' ' String='a b' String='multi  line' String='open' End"},
      {"{ } : . # + [ a Z", "Lbrace Rbrace Colon Dot Unknown Unknown Unknown Unknown Unknown End"},
      {"\xAC \xE2\x82\xAC 5 \"\xE2\x82\xAC\xAC\"",
       "Unknown Unknown Unknown Unknown Integer=5 String='\xE2\x82\xAC\xAC' End"},
      {"*MESH_FACE 0: A: 0 B: 2 C: 3",
       "MeshFace Integer=0 Colon Unknown Colon Integer=0 Unknown Colon Integer=2 "
       "Unknown Colon Integer=3 End"}};
  for (const auto& [text, tokens] : rules) EXPECT_EQ(tokens_of(text), tokens) << text;
}

TEST(Tokenizer, HugeNumbersSaturateOrStayInfinite) {
  std::string big(401, '0');
  big[0] = '1';
  EXPECT_EQ(tokens_of(big + " -" + big + " " + big + ".5"),
            "Integer=2147483647 Integer=-2147483648 Real=inf End");
  EXPECT_EQ(tokens_of("0." + std::string(400, '3')), "Real=0.33333333333333326 End");
}

/// `text` followed by enough padding to be read 16 bytes at a time.
std::string padded(std::string text) { return text.append(32, '\0'); }

const unsigned char* bytes(const std::string& text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}

TEST(ByteScan, CountsRunsOfDigitsAndParsesOneToEightDigitsWhateverFollows) {
  EXPECT_EQ(count_digits16(bytes(padded("0123456789/:"))), 10U);
  EXPECT_EQ(count_digits16(bytes(padded(std::string(20, '7')))), 16U);
  for (int byte = 0; byte < 256; ++byte) {
    EXPECT_EQ(count_digits16(bytes(padded(std::string(1, static_cast<char>(byte))))),
              byte >= '0' && byte <= '9' ? 1U : 0U)
        << byte;
  }
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
}  // namespace kestrun::flat
