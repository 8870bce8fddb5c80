#include "ase/tokenizer.h"

#include <array>
#include <cstdint>
#include <utility>

#include "ase/keyword_table.h"
#include "convert/value_reader.h"

namespace kestrun {
namespace {

enum CharClass : std::uint8_t { kDigit = 1, kLetter = 2, kWord = 4 };

// Classes of every character the source can deliver, kEndChar included.
constexpr auto kCharClasses = [] {
  std::array<std::uint8_t, kEndChar + 1> classes{};
  for (int c = '0'; c <= '9'; ++c) classes[static_cast<std::size_t>(c)] = kDigit | kWord;
  for (int c = 'A'; c <= 'Z'; ++c) classes[static_cast<std::size_t>(c)] = kLetter | kWord;
  for (int c = 'a'; c <= 'z'; ++c) classes[static_cast<std::size_t>(c)] = kLetter | kWord;
  classes['_'] = kWord;
  return classes;
}();

bool has_class(int c, std::uint8_t wanted) {
  return (kCharClasses[static_cast<std::size_t>(c)] & wanted) != 0;
}

}  // namespace

Tokenizer::Tokenizer(ByteSource& source, std::function<void()> on_end, std::size_t block_size)
    : chars_(source, std::move(on_end), block_size) {}

void Tokenizer::next_token() {
  int c = chars_.current_char();
  while (c == ' ') {
    chars_.next_char();
    c = chars_.current_char();
  }
  if (has_class(c, kDigit) || c == '-') {
    read_number();
  } else if (c == kEndChar) {
    token_.kind = TokenKind::End;  // The source is not asked again.
  } else if (c == '"') {
    read_string();
  } else if (c == '*') {
    read_keyword();
  } else {
    token_.kind = char_kind_table[static_cast<std::size_t>(c)];
    chars_.next_char();
  }
}

// Digits accumulate exactly as the exporter's readers always have: the whole
// part as magnitude * 10 + digit, each fraction digit as digit / 10^n added
// on, all in double. Library conversions round differently and are not used.
void Tokenizer::read_number() {
  bool negative = false;
  if (chars_.current_char() == '-') {
    negative = true;
    chars_.next_char();
    const int c = chars_.current_char();
    if (!has_class(c, kDigit) && c != '.') {
      token_.kind = TokenKind::Unknown;  // A lone minus sign.
      return;
    }
  }
  double magnitude = 0.0;
  double divisor = 1.0;
  bool point_seen = false;
  int c = chars_.current_char();
  do {
    if (c == '.') {
      point_seen = true;
    } else {
      const double digit = c - '0';
      if (!point_seen) {
        magnitude = magnitude * 10.0 + digit;
      } else {
        divisor = divisor * 10.0;
        magnitude = magnitude + digit / divisor;
      }
    }
    chars_.next_char();
    c = chars_.current_char();
  } while (has_class(c, kDigit) || c == '.');

  if (point_seen) {
    token_.kind = TokenKind::Real;
    token_.real = negative ? -magnitude : magnitude;
  } else {
    token_.kind = TokenKind::Integer;
    token_.integer = saturate_to_int32(negative ? -magnitude : magnitude);
  }
}

void Tokenizer::read_string() {
  token_.kind = TokenKind::String;
  chars_.next_char();
  int c = chars_.current_char();
  if (c == '"') {
    token_.text_chars[0] = ' ';  // The empty string reads as one space.
    token_.text_length = 1;
    chars_.next_char();
    return;
  }
  std::size_t length = 0;
  while (c != '"' && c != kEndChar) {
    if (length < Token::kMaxText) {
      token_.text_chars[length++] = static_cast<char>(c);
    }
    chars_.next_char();
    c = chars_.current_char();
  }
  token_.text_length = length;
  if (c == '"') {
    chars_.next_char();
  }
}

void Tokenizer::read_keyword() {
  token_.kind = TokenKind::Unknown;
  chars_.next_char();
  int c = chars_.current_char();
  if (!has_class(c, kDigit | kLetter)) {
    return;  // A '*' alone; `keyword` keeps its text.
  }
  std::size_t length = 0;
  while (has_class(c, kWord)) {
    if (length < Token::kMaxKeyword) {
      token_.keyword_chars[length++] = static_cast<char>(c);
    }
    chars_.next_char();
    c = chars_.current_char();
  }
  token_.keyword_length = length;
  token_.kind = find_keyword(token_.keyword());
}

}  // namespace kestrun
