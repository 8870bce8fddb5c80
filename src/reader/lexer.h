// Lexer: the ASE text as tokens, for the structured reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "io/byte_source.h"
#include "reader/keywords.h"

namespace kestrun::reader {

enum class TokenType : std::uint8_t {
  Keyword,
  Number,
  String,
  Word,
  OpenBrace,
  CloseBrace,
  Colon,
  Comma,
  End
};

/// Cuts the input into tokens: keywords ("*NAME"), numbers (read exactly, as
/// the nearest double), quoted strings, bare words ("Omni", "A"), braces,
/// colons and commas. Blanks, line ends and stray NUL bytes separate tokens.
/// The input is scanned in its blocks; only a token that crosses from one
/// block into the next is copied.
class Lexer {
 public:
  /// Strings keep this many bytes, words and keywords fewer; the rest of an
  /// overlong token is read and dropped (truncated() says so). A number
  /// longer than kMaxWord bytes is a Word, not the number its first bytes
  /// would make.
  static constexpr std::size_t kMaxString = 65536;
  static constexpr std::size_t kMaxWord = 256;

  explicit Lexer(ByteSource& source);
  Lexer(const Lexer&) = delete;
  Lexer& operator=(const Lexer&) = delete;

  /// Moves to the next token; at the end of the input, End for ever.
  void next();

  [[nodiscard]] TokenType type() const { return type_; }
  /// The keyword of a Keyword token (Unknown for a word the list lacks).
  [[nodiscard]] Keyword keyword() const { return keyword_; }
  /// The value of a Number token.
  [[nodiscard]] double number() const { return number_; }
  /// A keyword's name without the '*', a string without its quotes, a word.
  [[nodiscard]] std::string_view text() const { return text_; }
  /// The line the current token starts on, from 1.
  [[nodiscard]] std::uint64_t line() const { return token_line_; }
  /// The current token was cut to its longest kept length.
  [[nodiscard]] bool truncated() const { return truncated_; }
  /// A string token that the end of the input closed.
  [[nodiscard]] bool unterminated() const { return unterminated_; }
  /// How many bytes of the input are known to follow the current token: the
  /// rest of its block, and what the source knows is still to come.
  [[nodiscard]] std::uint64_t bytes_left() const {
    return static_cast<std::uint64_t>(end_ - p_) + source_.unread_bytes();
  }

 private:
  bool refill();
  // The fast paths for a keyword, a plain word and a plain decimal that lie wholly in the
  // current block; they read nothing and return false for anything else.
  bool read_keyword_in_block();
  bool read_word_in_block();
  bool read_number_in_block();
  void read_run(bool quoted);
  void classify_word();

  ByteSource& source_;
  const unsigned char* p_;
  const unsigned char* end_;
  unsigned char empty_[1] = {0};
  bool ended_ = false;
  std::uint64_t line_ = 1;

  TokenType type_ = TokenType::End;
  Keyword keyword_ = Keyword::Unknown;
  double number_ = 0.0;
  std::string_view text_;
  std::uint64_t token_line_ = 1;
  bool truncated_ = false;
  bool unterminated_ = false;
  std::string spill_;  // A token that crossed a block's end.
};

}  // namespace kestrun::reader
