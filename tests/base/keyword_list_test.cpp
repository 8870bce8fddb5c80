// The one keyword list: each mode finds exactly the rows marked for it, by
// their spelling, and no other keyword.
#include "base/keyword_list.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "ase/keyword_table.h"
#include "reader/keywords.h"

namespace kestrun {
namespace {

struct Row {
  std::string_view text;
  bool flat;
  bool extended;
};

constexpr Row kRows[] = {
#define KESTRUN_ROW(X, name, text, modes) \
  {text, std::string_view(#modes) != "Extended", std::string_view(#modes) != "Flat"},
    KESTRUN_KEYWORDS(KESTRUN_ROW, unused)
#undef KESTRUN_ROW
};

flat::TokenKind flat_kind(std::string_view text) {
  std::string padded(text);
  padded.resize(text.size() + flat::kPaddedKeyword, ' ');
  return flat::find_padded_keyword(padded.data(), text.size());
}

TEST(KeywordList, EachModeKnowsItsRowsAndNoOthers) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.text);
    const flat::TokenKind kind = flat_kind(row.text);
    EXPECT_EQ(kind != flat::TokenKind::Unknown, row.flat);
    if (row.flat) {
      EXPECT_EQ(flat::token_detail::kKeywordTexts[static_cast<std::size_t>(kind)], row.text);
    }

    const reader::Keyword keyword = reader::find_keyword(row.text, reader::keyword_key(row.text));
    EXPECT_EQ(keyword != reader::Keyword::Unknown, row.extended);
    if (row.extended) {
      EXPECT_EQ(reader::spelling(keyword), row.text);
    }
  }
}

TEST(KeywordList, TheDefaultWalksKindsKeepTheirNumbers) {
  // Its token kinds are part of its byte-exact behaviour: rows for the other
  // mode between its own must not renumber them.
  EXPECT_EQ(static_cast<int>(flat::TokenKind::AsciiExport), 1);
  EXPECT_EQ(static_cast<int>(flat::TokenKind::Comment), 2);
  EXPECT_EQ(static_cast<int>(flat::TokenKind::TmRotAngle), 43);
  EXPECT_EQ(static_cast<int>(flat::TokenKind::Lbrace), 44);
  EXPECT_EQ(static_cast<int>(flat::TokenKind::End), 51);
}

}  // namespace
}  // namespace kestrun
