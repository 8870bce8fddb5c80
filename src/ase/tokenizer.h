// Tokenizer: cuts the ASE text into tokens, one current Token at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "ase/char_source.h"
#include "ase/token.h"
#include "io/byte_source.h"

namespace kestrun::flat {

/// What Tokenizer::next_token_until has passed over and not yet worked out:
/// the first byte of the last real and of the last integer, the last
/// keyword's word. All lie in the current block.
struct PendingTokens {
  const unsigned char* real = nullptr;
  const unsigned char* integer = nullptr;
  const unsigned char* keyword = nullptr;
  std::size_t keyword_length = 0;  // When known (below 32 bytes); 0: counted where it is worked out.
};

/// Owns the character source and the current Token. Every reader moves
/// through the input only with next_token and looks at token().
class Tokenizer {
 public:
  /// `on_end` runs once when the input is exhausted (see CharSource).
  Tokenizer(ByteSource& source, std::function<void()> on_end);

  /// Replaces the current token with the next one. At the end of the input
  /// the kind is TokenKind::End, for ever.
  void next_token();

  /// The kind and value of a number token, as next_numbers reads them.
  struct Number {
    TokenKind kind = TokenKind::Integer;  // Integer or Real
    std::int32_t integer = 0;             // For an Integer.
    double real = 0.0;                    // For a Real.
  };

  /// When the next numbers.size() tokens are numbers that lie inside the
  /// block, reads them at once into `numbers` and leaves the token as that
  /// many calls of next_token would. Otherwise reads nothing and returns
  /// false. The lines of lists (a vertex, a key) are read so.
  bool next_numbers(std::span<Number> numbers);

  /// On a face line's keyword: when the tokens that follow are a face as
  /// exporters write it, "N: A: a B: b C: c" (integers of at most eight
  /// digits, inside the block), reads them at once, returns a, b and c, and
  /// leaves the token as the eleven calls of next_token would. Otherwise
  /// reads nothing and returns nothing.
  std::optional<std::array<std::int32_t, 3>> next_face_corners();

  /// Advances as next_token does, one token or more, until the current
  /// token's kind is in `stops`, the token is End, or the input is exhausted.
  /// The token and the source are then exactly as those calls of next_token
  /// would leave them, but the tokens passed over are only classified: the
  /// value of the last number of each sort and the text of the last keyword
  /// are worked out once, where the walk stops or leaves a block.
  void next_token_until(const KindSet& stops);

  [[nodiscard]] const Token& token() const { return token_; }
  [[nodiscard]] TokenKind kind() const { return token_.kind; }
  /// True once the input is exhausted (possibly while the current token is
  /// still the last one read).
  [[nodiscard]] bool end_of_input() const { return chars_.end_of_input(); }
  /// True at the end token or once the input is exhausted: where every walk stops.
  [[nodiscard]] bool at_end() const { return token_.kind == TokenKind::End || chars_.end_of_input(); }

 private:
  // Each reader starts with `p` on the token's first character and scans the
  // block directly; at the block's end it asks the source for the next one.
  void read_number(const unsigned char* p);
  void read_string(const unsigned char* p);
  void read_keyword(const unsigned char* p);
  /// The reader of the token at `p` (a string, keyword or number) that
  /// classify_token could not take whole: it may go on in the next block.
  void read_token_bytewise(const unsigned char* p);

  /// Called with `p` at the block's limit: reads on. Returns false once the
  /// input is exhausted; otherwise `p` is on the next block's first byte.
  bool reload(const unsigned char*& p);

  /// Works out what `pending` holds into the token, before the block goes.
  void settle(PendingTokens& pending);

  CharSource chars_;
  Token token_;
};

}  // namespace kestrun::flat
