// The keywords the readers know, and the kinds of single characters.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "ase/token.h"

namespace kestrun {

struct KeywordEntry {
  std::string_view text;
  TokenKind kind;
};

/// Every keyword of the token list with its kind, in list order.
inline constexpr std::array keyword_table = {
#define KESTRUN_ENTRY(name, text) KeywordEntry{text, TokenKind::name},
    KESTRUN_ASE_KEYWORDS(KESTRUN_ENTRY)
#undef KESTRUN_ENTRY
};

/// Room find_padded_keyword may read: no keyword is longer.
inline constexpr std::size_t kPaddedKeyword = 32;

/// The kind of the keyword made of the `length` bytes at `chars` (exact,
/// case-sensitive), or Unknown. `chars` must be readable for kPaddedKeyword
/// bytes whatever the length (the tokenizer's keyword buffer is); the bytes
/// after the word do not matter.
TokenKind find_padded_keyword(const char* chars, std::size_t length) noexcept;

/// The kind of each byte value as a token of its own: the punctuation of the
/// token list; every other byte is Unknown.
inline constexpr std::array<TokenKind, 256> char_kind_table = [] {
  std::array<TokenKind, 256> table{};
  table.fill(TokenKind::Unknown);
#define KESTRUN_PUNCTUATION(name, character) table[static_cast<unsigned char>(character)] = TokenKind::name;
  KESTRUN_ASE_PUNCTUATION(KESTRUN_PUNCTUATION)
#undef KESTRUN_PUNCTUATION
  return table;
}();

}  // namespace kestrun
