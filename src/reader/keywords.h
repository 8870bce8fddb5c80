// The keywords the structured reader acts on, and their look-up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/keyword_list.h"

namespace kestrun::reader {

// The keywords it knows: the rows of base/keyword_list.h, KESTRUN_EXTENDED_KEYWORDS.
enum class Keyword : std::uint8_t {
  Unknown,
#define KESTRUN_KEYWORD_NAME(name, text) name,
  KESTRUN_EXTENDED_KEYWORDS(KESTRUN_KEYWORD_NAME)
#undef KESTRUN_KEYWORD_NAME
};

namespace keyword_detail {
inline constexpr std::string_view kSpellings[] = {"",
#define KESTRUN_KEYWORD_SPELLING(name, text) text,
                                                  KESTRUN_EXTENDED_KEYWORDS(KESTRUN_KEYWORD_SPELLING)
#undef KESTRUN_KEYWORD_SPELLING
};
}  // namespace keyword_detail

/// How `keyword` is spelt in a file (empty for Unknown): the readers' messages
/// name what they read by it, so no spelling is typed twice.
constexpr std::string_view spelling(Keyword keyword) {
  return keyword_detail::kSpellings[static_cast<std::size_t>(keyword)];
}

/// A keyword's name as its length and its first and last eight bytes (which
/// overlap in names of 9 to 15 bytes), little-endian and zero-padded: `tail`
/// is `head` again for names of eight bytes or fewer. Two loads, no loop, and
/// for names of up to sixteen bytes the key is the whole name.
struct KeywordKey {
  std::uint64_t head = 0;
  std::uint64_t tail = 0;
  std::size_t length = 0;

  friend constexpr bool operator==(const KeywordKey&, const KeywordKey&) = default;
};

/// The key of `text`, read a byte at a time.
constexpr KeywordKey keyword_key(std::string_view text) {
  KeywordKey key{0, 0, text.size()};
  for (std::size_t i = 0; i < text.size() && i < 8; ++i) {
    key.head |= std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
  }
  if (text.size() <= 8) {
    key.tail = key.head;
    return key;
  }
  for (std::size_t i = 0; i < 8; ++i) {
    key.tail |= std::uint64_t{static_cast<unsigned char>(text[text.size() - 8 + i])} << (8 * i);
  }
  return key;
}

constexpr std::uint64_t keyword_hash(const KeywordKey& key) {
  return (key.head * 0x9E3779B97F4A7C15ULL) ^ ((key.tail + key.length) * 0xC2B2AE3D27D4EB4FULL);
}

/// The keyword spelt `text`, whose key is `key`, or Unknown.
Keyword find_keyword(std::string_view text, const KeywordKey& key) noexcept;

}  // namespace kestrun::reader
