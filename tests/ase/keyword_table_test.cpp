#include "ase/keyword_table.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrun {
namespace {

TEST(KeywordTable, EveryKeywordIsFoundWithItsKind) {
  for (std::size_t index = 0; index < keyword_table.size(); ++index) {
    EXPECT_EQ(static_cast<std::size_t>(keyword_table[index].kind), index + 1);
    EXPECT_EQ(find_keyword(keyword_table[index].text), keyword_table[index].kind)
        << keyword_table[index].text;
  }
  EXPECT_EQ(find_keyword("GEOMOBJECT"), TokenKind::GeomObject);
  EXPECT_EQ(find_keyword("TM_ROTANGLE"), TokenKind::TmRotAngle);
}

TEST(KeywordTable, NearMissesAreUnknown) {
  for (const KeywordEntry& entry : keyword_table) {
    std::string word(entry.text);
    EXPECT_EQ(find_keyword(word.substr(0, word.size() - 1)) == entry.kind, false);
    EXPECT_NE(find_keyword(word + "X"), entry.kind);
    word[0] = static_cast<char>(word[0] >= 'A' && word[0] <= 'Z' ? word[0] - 'A' + 'a' : word[0]);
    if (word != entry.text) {
      EXPECT_EQ(find_keyword(word), TokenKind::Unknown) << word;
    }
  }
  EXPECT_EQ(find_keyword(""), TokenKind::Unknown);
  EXPECT_EQ(find_keyword("MESH_TVERT"), TokenKind::Unknown);
  EXPECT_EQ(find_keyword(std::string(128, 'A')), TokenKind::Unknown);
}

TEST(CharKindTable, OnlySixCharactersHaveAKind) {
  int with_kind = 0;
  for (std::size_t byte = 0; byte < 256; ++byte) {
    if (char_kind_table[byte] != TokenKind::Unknown) ++with_kind;
  }
  EXPECT_EQ(with_kind, 6);
  EXPECT_EQ(char_kind_table['{'], TokenKind::Lbrace);
  EXPECT_EQ(char_kind_table['}'], TokenKind::Rbrace);
  EXPECT_EQ(char_kind_table['*'], TokenKind::Star);
  EXPECT_EQ(char_kind_table[':'], TokenKind::Colon);
  EXPECT_EQ(char_kind_table['"'], TokenKind::Quote);
  EXPECT_EQ(char_kind_table['.'], TokenKind::Dot);
}

}  // namespace
}  // namespace kestrun
