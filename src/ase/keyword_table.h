// The keywords the readers know, and the kinds of single characters.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "ase/token.h"
#include "base/perfect_hash.h"

namespace kestrun::flat {

struct KeywordEntry {
  std::string_view text;
  TokenKind kind;
};

/// Every keyword of the token list with its kind, in list order.
inline constexpr std::array keyword_table = {
#define KESTRUN_ENTRY(name, text) KeywordEntry{text, TokenKind::name},
    KESTRUN_FLAT_KEYWORDS(KESTRUN_ENTRY)
#undef KESTRUN_ENTRY
};

/// Room find_padded_keyword may read: no keyword is longer.
inline constexpr std::size_t kPaddedKeyword = 32;

namespace keyword_detail {

// Keywords are found through a perfect hash built when the program is
// compiled (base/perfect_hash.h): a look-up hashes three bytes and the length of the word and
// compares it with at most one entry, in four masked 8-byte words.
inline constexpr std::size_t kSlots = 128;
inline constexpr std::uint8_t kEmpty = kNoKeyword;
inline constexpr std::size_t kWords = kPaddedKeyword / 8;

constexpr std::size_t hash_word(const char* chars, std::size_t length) {
  const auto byte = [chars](std::size_t i) {
    return static_cast<std::size_t>(static_cast<unsigned char>(chars[i]));
  };
  return (length * 61 + byte(length - 1) * 24 + byte(length >= 2 ? length - 2 : 0) + byte(0)) % kSlots;
}

/// A keyword laid out for the comparison: its bytes in 8-byte words (little
/// endian, as the words are loaded) and a mask of the bytes that count.
struct PaddedKeyword {
  std::uint64_t words[kWords] = {};
  std::uint64_t masks[kWords] = {};
  std::size_t length = 0;
};

inline constexpr auto kPadded = [] {
  std::array<PaddedKeyword, keyword_table.size()> padded{};
  for (std::size_t index = 0; index < keyword_table.size(); ++index) {
    const std::string_view text = keyword_table[index].text;
    if (text.size() > kPaddedKeyword) throw "a keyword is longer than the padded comparison";
    padded[index].length = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
      const std::size_t shift = (i % 8) * 8;
      padded[index].words[i / 8] |= std::uint64_t{static_cast<unsigned char>(text[i])} << shift;
      padded[index].masks[i / 8] |= std::uint64_t{0xFF} << shift;
    }
  }
  return padded;
}();

inline constexpr std::array<std::uint8_t, kSlots> kSlotTable = [] {
  const auto slots = perfect_slots<kSlots>(keyword_table.size(), [](std::size_t index) {
    const std::string_view text = keyword_table[index].text;
    return hash_word(text.data(), text.size());
  });
  if (!slots) throw "two keywords share a slot: choose other hash factors";
  return *slots;
}();

/// The index of the one keyword that the `length` bytes at `chars` can be,
/// by their hash and length, or kEmpty when none can.
inline std::uint8_t candidate_index(const char* chars, std::size_t length) noexcept {
  if (length == 0 || length > kPaddedKeyword) return kEmpty;
  const std::uint8_t index = kSlotTable[hash_word(chars, length)];
  return index != kEmpty && kPadded[index].length == length ? index : kEmpty;
}

}  // namespace keyword_detail

/// The kind of the one keyword that the `length` bytes at `chars` can be, by
/// their hash and length, without comparing them: Unknown when none can.
/// Readable bytes as for find_padded_keyword.
inline TokenKind keyword_candidate(const char* chars, std::size_t length) noexcept {
  using namespace keyword_detail;
  const std::uint8_t index = candidate_index(chars, length);
  return index == kEmpty ? TokenKind::Unknown : keyword_table[index].kind;
}

/// The kind of the keyword made of the `length` bytes at `chars` (exact,
/// case-sensitive), or Unknown. `chars` must be readable for kPaddedKeyword
/// bytes whatever the length (the tokenizer's keyword buffer is); the bytes
/// after the word do not matter.
inline TokenKind find_padded_keyword(const char* chars, std::size_t length) noexcept {
  using namespace keyword_detail;
  const std::uint8_t index = candidate_index(chars, length);
  if (index == kEmpty) return TokenKind::Unknown;
  std::uint64_t difference = 0;
  for (std::size_t word = 0; word < kWords; ++word) {
    std::uint64_t loaded = 0;
    std::memcpy(&loaded, chars + word * 8, 8);
    difference |= (loaded ^ kPadded[index].words[word]) & kPadded[index].masks[word];
  }
  return difference == 0 ? keyword_table[index].kind : TokenKind::Unknown;
}

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

}  // namespace kestrun::flat
