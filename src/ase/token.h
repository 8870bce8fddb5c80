// Token and TokenKind: what the tokenizer hands to the readers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string_view>

#include "ase/token_list.h"

namespace kestrun {

/// The kind of a token: Unknown for anything the readers do not act on
/// (a word the keyword list does not hold, a lone '*', any other character),
/// the keywords in list order, the punctuation, numbers, strings, the end.
enum class TokenKind : std::int32_t {
  Unknown = 0,
#define KESTRUN_KIND(name, text) name,
  KESTRUN_ASE_KEYWORDS(KESTRUN_KIND) KESTRUN_ASE_PUNCTUATION(KESTRUN_KIND)
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
                                                     KESTRUN_ASE_KEYWORDS(KESTRUN_TEXT)
#undef KESTRUN_TEXT
};

/// A bit for words of `length` bytes beginning with `first`.
constexpr unsigned keyword_bit(unsigned char first, std::size_t length) {
  return static_cast<unsigned>((first + length * 11U) & 63U);
}

}  // namespace token_detail

/// A set of token kinds: where Tokenizer::next_token_until stops.
class KindSet {
 public:
  constexpr KindSet(std::initializer_list<TokenKind> kinds) {
    for (const TokenKind kind : kinds) {
      const auto number = static_cast<unsigned>(kind);
      bits_ |= std::uint64_t{1} << number;
      if (number != 0 && number < std::size(token_detail::kKeywordTexts)) {
        const std::string_view text = token_detail::kKeywordTexts[number];
        keywords_ |= std::uint64_t{1}
                     << token_detail::keyword_bit(static_cast<unsigned char>(text[0]), text.size());
      }
    }
  }
  [[nodiscard]] constexpr bool contains(TokenKind kind) const {
    return ((bits_ >> static_cast<unsigned>(kind)) & 1U) != 0;
  }
  /// False when no keyword of the set has `length` bytes and begins with
  /// `first`; true when one may have (a cheap test before the look-up).
  [[nodiscard]] constexpr bool may_hold_keyword(unsigned char first, std::size_t length) const {
    return ((keywords_ >> token_detail::keyword_bit(first, length)) & 1U) != 0;
  }
  [[nodiscard]] constexpr bool empty() const { return bits_ == 0; }
  [[nodiscard]] friend constexpr KindSet operator|(KindSet left, KindSet right) {
    left.bits_ |= right.bits_;
    left.keywords_ |= right.keywords_;
    return left;
  }
  [[nodiscard]] friend constexpr KindSet operator&(KindSet left, KindSet right) {
    left.bits_ &= right.bits_;
    left.keywords_ &= right.keywords_;
    return left;
  }

 private:
  std::uint64_t bits_ = 0;
  std::uint64_t keywords_ = 0;  // keyword_bit of each keyword in the set
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

}  // namespace kestrun
