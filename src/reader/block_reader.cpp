#include "reader/block_reader.h"

#include <cmath>
#include <limits>

namespace kestrun::reader {

void BlockReader::skip_arguments() {
  for (;;) {
    switch (lexer_.type()) {
      case TokenType::Number:
      case TokenType::String:
      case TokenType::Word:
      case TokenType::Colon:
      case TokenType::Comma:
        lexer_.next();
        break;
      default:
        return;
    }
  }
}

void BlockReader::skip_block() {
  // Counted, not recursive: no nesting depth can exhaust the stack.
  std::uint64_t depth = 0;
  do {
    if (lexer_.type() == TokenType::OpenBrace) ++depth;
    if (lexer_.type() == TokenType::CloseBrace) --depth;
    if (lexer_.type() == TokenType::End) return;
    lexer_.next();
  } while (depth != 0);
}

void BlockReader::finish_statement() {
  skip_arguments();
  if (lexer_.type() == TokenType::OpenBrace) skip_block();
}

bool BlockReader::take(TokenType type) {
  if (lexer_.type() != type) return false;
  lexer_.next();
  return true;
}

double BlockReader::odd_number(std::string_view what) {
  if (lexer_.type() == TokenType::Word || lexer_.type() == TokenType::String) {
    note(std::string(what) + " is not a number; 0 is taken");  // "1.#QNAN", say: taken, not read.
    lexer_.next();
    return 0.0;
  }
  if (lexer_.type() != TokenType::Number) {
    note_missing(std::string(what) + " is missing a number; 0 is taken");
    return 0.0;
  }
  // Noted before moving on: the next token may stand on a later line.
  const bool finite = std::isfinite(lexer_.number());
  note(std::string(what) +
       (finite ? " is beyond single precision (3.4e38); 0 is taken" : " is not a finite number; 0 is taken"));
  lexer_.next();
  return 0.0;
}

std::int64_t BlockReader::odd_integer(std::string_view what) {
  if (lexer_.type() != TokenType::Number) {
    note_missing(std::string(what) + " is missing a whole number; 0 is taken");
    return 0;
  }
  note(std::string(what) + " is not a whole number of sensible size; 0 is taken");
  lexer_.next();
  return 0;
}

Vec3 BlockReader::vec3(std::string_view what) {
  Vec3 v;
  v.x = number(what);
  v.y = number(what);
  v.z = number(what);
  return v;
}

std::string BlockReader::text(std::string_view what) {
  if (lexer_.type() != TokenType::String && lexer_.type() != TokenType::Word) {
    note_missing(std::string(what) + " is missing its text");
    return {};
  }
  if (lexer_.truncated()) note(std::string(what) + " is too long; it is cut");
  std::string value(lexer_.text());
  lexer_.next();
  return value;
}

}  // namespace kestrun::reader
