// BlockReader: the statements and blocks of an ASE file, read with care.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "base/warnings.h"
#include "model/transform_math.h"
#include "reader/lexer.h"

namespace kestrun::reader {

/// Reads the file as statements: a keyword, its arguments up to the next
/// keyword or brace, and perhaps a block in braces. A reader takes the
/// arguments it knows; whatever it leaves, and any block it does not read,
/// is passed over as a whole, so an unknown or damaged statement never
/// derails the rest. Problems are noted in `warnings`.
class BlockReader {
 public:
  BlockReader(Lexer& lexer, Warnings& warnings) : lexer_(lexer), warnings_(warnings) {}

  [[nodiscard]] Lexer& lexer() { return lexer_; }
  [[nodiscard]] Warnings& warnings() { return warnings_; }
  void note(std::string_view what) { warnings_.note(what, lexer_.line()); }
  /// Notes what the current statement lacks on the statement's own line: the
  /// token after a missing argument may stand on a later one.
  void note_missing(std::string_view what) { warnings_.note(what, statement_line_); }
  /// Marks the current token, a keyword, as the start of a statement.
  void begin_statement() { statement_line_ = lexer_.line(); }

  /// Reads the block of the statement whose arguments are being read:
  /// passes over what arguments are left, enters the "{", and calls
  /// `on_statement(keyword)` for each statement in it, with the current token
  /// on the statement's first argument. Returns false, noting it, when no
  /// block follows. The end of the input closes every open block.
  template <class OnStatement>
  bool read_block(std::string_view name, OnStatement&& on_statement);

  /// Passes over the rest of the current statement: its arguments and its
  /// block, if it has one.
  void finish_statement();

  // Argument readers: each takes one argument if it is of its sort; if not,
  // it notes what was missing under `what` and leaves the token alone.
  // A number beyond the float range, in which Maya keeps its values, is
  // taken as one that is not finite.
  double number(std::string_view what) {
    if (lexer_.type() != TokenType::Number || !(std::fabs(lexer_.number()) <= kLargestFloat)) {
      return odd_number(what);
    }
    const double value = lexer_.number();
    lexer_.next();
    return value;
  }
  std::int64_t integer(std::string_view what) {
    const double value = lexer_.number();
    if (lexer_.type() != TokenType::Number || !(std::fabs(value) <= kMaxInteger) ||
        value != std::trunc(value)) {
      return odd_integer(what);
    }
    lexer_.next();
    return static_cast<std::int64_t>(value);
  }
  Vec3 vec3(std::string_view what);
  /// A quoted string or a bare word.
  std::string text(std::string_view what);
  /// True (and taken) if the current token is `type`.
  bool take(TokenType type);

 private:
  static constexpr double kMaxInteger = 9.0e15;  // Beyond any count a file can back with lines.
  static constexpr double kLargestFloat = std::numeric_limits<float>::max();

  double odd_number(std::string_view what);
  std::int64_t odd_integer(std::string_view what);
  void skip_arguments();
  void skip_block();

  Lexer& lexer_;
  Warnings& warnings_;
  std::uint64_t statement_line_ = 1;  // Where the statement being read begins.
};

template <class OnStatement>
bool BlockReader::read_block(std::string_view name, OnStatement&& on_statement) {
  skip_arguments();
  if (lexer_.type() != TokenType::OpenBrace) {
    note_missing(std::string(name) + " has no block in braces; it is left out");
    return false;
  }
  const std::uint64_t outer_statement_line = statement_line_;
  lexer_.next();
  for (;;) {
    switch (lexer_.type()) {
      case TokenType::CloseBrace:
        lexer_.next();
        statement_line_ = outer_statement_line;
        return true;
      case TokenType::End:
        note("the file ends inside " + std::string(name) + "; what was read of it is kept");
        statement_line_ = outer_statement_line;
        return true;
      case TokenType::Keyword: {
        const Keyword keyword = lexer_.keyword();
        begin_statement();
        lexer_.next();
        on_statement(keyword);
        finish_statement();
        break;
      }
      case TokenType::OpenBrace:
        skip_block();  // A block without a keyword: nothing to act on.
        break;
      default:
        lexer_.next();  // A stray value between statements.
        break;
    }
  }
}

}  // namespace kestrun::reader
