// Token and TokenKind: what the tokenizer hands to the readers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string_view>

#include "ase/token_list.h"

namespace kestrun::flat {

/// The kind of a token: Unknown for anything the readers do not act on
/// (a word the keyword list does not hold, a lone '*', any other character),
/// the keywords in list order, the punctuation, numbers, strings, the end.
enum class TokenKind : std::int32_t {
  Unknown = 0,
#define KESTRUN_KIND(name, text) name,
  KESTRUN_FLAT_KEYWORDS(KESTRUN_KIND) KESTRUN_ASE_PUNCTUATION(KESTRUN_KIND)
#undef KESTRUN_KIND
      Real,  // a number with a decimal point
  Integer,   // a number without one
  String,    // a quoted string
  End,       // the end of the input, for ever
};

namespace token_detail {

/// The text of each keyword kind, by kind number (Unknown's is empty).
inline constexpr std::string_view kKeywordTexts[] = {"",
#define KESTRUN_TEXT(name, text) text,
                                                     KESTRUN_FLAT_KEYWORDS(KESTRUN_TEXT)
#undef KESTRUN_TEXT
};

}  // namespace token_detail

/// A set of token kinds: where Tokenizer::next_token_until stops.
class KindSet {
 public:
  /// Keywords whose first bytes the set keeps for may_begin_keyword.
  static constexpr std::size_t kPrefixes = 8;

  constexpr KindSet(std::initializer_list<TokenKind> kinds) {
    for (const TokenKind kind : kinds) bits_ |= std::uint64_t{1} << static_cast<unsigned>(kind);
    note_prefixes();
  }
  [[nodiscard]] constexpr bool contains(TokenKind kind) const {
    return ((bits_ >> static_cast<unsigned>(kind)) & 1U) != 0;
  }
  /// False when no keyword of the set begins as the word whose first eight
  /// bytes (read little endian; bytes past a keyword's end do not count)
  /// are `first_bytes`: a cheap test before the look-up.
  [[nodiscard]] constexpr bool may_begin_keyword(std::uint64_t first_bytes) const {
    if (prefix_count_ > kPrefixes) {
      return true;  // Too many keywords to test this way.
    }
    for (std::size_t i = 0; i < prefix_count_; ++i) {
      if ((first_bytes & masks_[i]) == prefixes_[i]) return true;
    }
    return false;
  }
  [[nodiscard]] constexpr bool empty() const { return bits_ == 0; }
  [[nodiscard]] friend constexpr KindSet operator|(KindSet left, const KindSet& right) {
    left.bits_ |= right.bits_;
    left.note_prefixes();
    return left;
  }
  [[nodiscard]] friend constexpr KindSet operator&(KindSet left, const KindSet& right) {
    left.bits_ &= right.bits_;
    left.note_prefixes();
    return left;
  }

 private:
  /// Notes the first (up to) eight bytes of each keyword of the set.
  constexpr void note_prefixes() {
    prefix_count_ = 0;
    for (std::size_t kind = 1; kind < std::size(token_detail::kKeywordTexts); ++kind) {
      if (!contains(static_cast<TokenKind>(kind))) continue;
      if (prefix_count_ < kPrefixes) {
        const std::string_view text = token_detail::kKeywordTexts[kind];
        std::uint64_t prefix = 0;
        std::uint64_t mask = 0;
        for (std::size_t i = 0; i < text.size() && i < 8; ++i) {
          prefix |= std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
          mask |= std::uint64_t{0xFF} << (8 * i);
        }
        prefixes_[prefix_count_] = prefix;
        masks_[prefix_count_] = mask;
      }
      ++prefix_count_;
    }
  }

  std::uint64_t bits_ = 0;
  std::array<std::uint64_t, kPrefixes> prefixes_{};
  std::array<std::uint64_t, kPrefixes> masks_{};
  std::size_t prefix_count_ = 0;  // Keywords in the set (more than kPrefixes: not all noted).
};
static_assert(static_cast<unsigned>(TokenKind::End) < 64, "every kind has a bit in a KindSet");

/// The one current token of a run. Only `kind` changes with every token; each
/// other field keeps its value until a token of its own sort replaces it (an
/// integer token leaves `real` as it was, and so on).
struct Token {
  static constexpr std::size_t kMaxText = 1024;
  static constexpr std::size_t kMaxKeyword = 128;

  TokenKind kind = TokenKind::Unknown;
  std::int32_t integer = 0;  // Value of the last integer token.
  double real = 0.0;         // Value of the last real token.

  /// Text of the last string token, without the quotes (at most 1024 characters).
  [[nodiscard]] std::string_view text() const { return {text_chars.data(), text_length}; }
  /// The word after the '*' of the last keyword token (at most 128 characters).
  [[nodiscard]] std::string_view keyword() const { return {keyword_chars.data(), keyword_length}; }

  std::array<char, kMaxText> text_chars{};
  std::size_t text_length = 0;
  std::array<char, kMaxKeyword> keyword_chars{};
  std::size_t keyword_length = 0;
};

}  // namespace kestrun::flat
