#include "reader/lexer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "base/byte_scan.h"

namespace kestrun::reader {
namespace {

enum CharClass : std::uint8_t { kBlank = 1, kWord = 2, kDigit = 4 };

constexpr std::array<std::uint8_t, 256> kClasses = [] {
  std::array<std::uint8_t, 256> classes{};
  for (int c = 0; c < 256; ++c) classes[static_cast<std::size_t>(c)] = kWord;
  for (const int c : {' ', '\t', '\n', '\v', '\f', '\r', '\0'}) classes[static_cast<std::size_t>(c)] = kBlank;
  for (const int c : {'{', '}', '"', ':', ','}) classes[static_cast<std::size_t>(c)] = 0;
  for (int c = '0'; c <= '9'; ++c) classes[static_cast<std::size_t>(c)] = kWord | kDigit;
  return classes;
}();

/// 10^n, exact in double for n up to 22.
constexpr std::array<double, 23> kPowersOfTen = [] {
  std::array<double, 23> powers{};
  double power = 1.0;
  for (double& entry : powers) {
    entry = power;
    power *= 10.0;
  }
  return powers;
}();

/// 10^n as an integer, for n up to 8.
constexpr std::array<std::uint64_t, 9> kPowersOfTenInt = {1,       10,        100,        1'000,      10'000,
                                                          100'000, 1'000'000, 10'000'000, 100'000'000};

/// Reads a plain decimal ("-12.5000", "7") exactly, or returns false. With
/// at most 2^53 as the digits' integer and at most 22 fraction digits, both
/// are exact doubles and one division rounds correctly.
bool read_plain_decimal(std::string_view text, double& value) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative || (!text.empty() && text[0] == '+')) ++i;
  std::uint64_t digits = 0;
  std::size_t count = 0, fraction = 0;
  bool point = false, any_digit = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9' || count == 19) return false;
    digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    count += digits != 0 ? 1 : 0;  // Leading zeros do not count against precision.
    fraction += point ? 1 : 0;
    any_digit = true;
  }
  if (!any_digit || digits > (std::uint64_t{1} << 53) || fraction > 22) return false;
  value = static_cast<double>(digits) / kPowersOfTen[fraction];
  if (negative) value = -value;
  return true;
}

}  // namespace

Lexer::Lexer(ByteSource& source) : source_(source), p_(empty_), end_(empty_) { next(); }

bool Lexer::refill() {
  if (ended_) return false;
  for (;;) {
    const std::span<unsigned char> block = source_.next_block();
    if (block.empty()) {
      ended_ = true;
      p_ = end_ = empty_;
      return false;
    }
    block.data()[block.size()] = 0;  // The sentinel that ends every scan.
    p_ = block.data();
    end_ = p_ + block.size();
    return true;
  }
}

void Lexer::next() {
  truncated_ = unterminated_ = false;
  for (;;) {
    while (kClasses[*p_] & kBlank) {
      if (*p_ == 0 && p_ == end_) break;
      line_ += *p_ == '\n' ? 1 : 0;
      ++p_;
    }
    if (p_ != end_) break;
    if (!refill()) {
      type_ = TokenType::End;
      text_ = {};
      token_line_ = line_;
      return;
    }
  }
  token_line_ = line_;
  switch (*p_) {
    case '{':
      type_ = TokenType::OpenBrace;
      ++p_;
      return;
    case '}':
      type_ = TokenType::CloseBrace;
      ++p_;
      return;
    case ':':
      type_ = TokenType::Colon;
      ++p_;
      return;
    case ',':
      type_ = TokenType::Comma;
      ++p_;
      return;
    case '"':
      ++p_;
      type_ = TokenType::String;
      read_run(true);
      return;
    case '*':
      if (read_keyword_in_block()) return;
      break;
    case '-':
    case '0':
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case '9':
      if (read_number_in_block()) return;
      break;
    default:
      break;
  }
  read_run(false);
  classify_word();
}

void Lexer::read_run(bool quoted) {
  const std::size_t limit = quoted ? kMaxString : kMaxWord;
  spill_.clear();
  bool spilled = false;
  for (;;) {
    const unsigned char* start = p_;
    if (quoted) {
      while (*p_ != '"' && (*p_ != 0 || p_ != end_)) {
        line_ += *p_ == '\n' ? 1 : 0;
        ++p_;
      }
    } else {
      while (kClasses[*p_] & kWord) ++p_;
    }
    const auto length = static_cast<std::size_t>(p_ - start);
    if (p_ != end_) {
      if (!spilled && length <= limit) {
        text_ = {reinterpret_cast<const char*>(start), length};
      } else {
        spill_.append(reinterpret_cast<const char*>(start), std::min(length, limit - spill_.size()));
        truncated_ = truncated_ || spill_.size() == limit;
        text_ = spill_;
      }
      if (quoted) ++p_;  // Past the closing quote.
      return;
    }
    // The run reaches the block's end: keep what there is and read on.
    spilled = true;
    const std::size_t kept = std::min(length, limit - std::min(limit, spill_.size()));
    truncated_ = truncated_ || kept < length;
    spill_.append(reinterpret_cast<const char*>(start), kept);
    if (!refill()) {
      unterminated_ = quoted;
      text_ = spill_;
      return;
    }
  }
}

bool Lexer::read_keyword_in_block() {
  // The name runs to the next delimiter; one that reaches the block's end
  // may go on in the next block: the general path reads it.
  const unsigned char* name = p_ + 1;
  const unsigned char* end = name;
  while (kClasses[*end] & kWord) ++end;
  const auto length = static_cast<std::size_t>(end - name);
  if (end == end_ || length == 0 || length > kMaxWord) return false;
  // The block's slack makes loading eight bytes from the name safe.
  std::uint64_t head = 0, tail = 0;
  std::memcpy(&head, name, 8);
  if (length < 8) head &= (std::uint64_t{1} << (8 * length)) - 1;
  if (length > 8) {
    std::memcpy(&tail, end - 8, 8);
  } else {
    tail = head;
  }
  type_ = TokenType::Keyword;
  text_ = {reinterpret_cast<const char*>(name), length};
  keyword_ = find_keyword(text_, keyword_hash(head, tail, length));
  p_ = end;
  return true;
}

bool Lexer::read_number_in_block() {
  // "-12.5000": up to 8 whole and 8 fraction digits, all in this block.
  const unsigned char* q = p_;
  const bool negative = *q == '-';
  q += negative ? 1 : 0;
  const unsigned whole = count_digits16(q);
  if (whole > 8) return false;
  std::uint64_t digits = whole > 0 ? parse_digits8(q, whole) : 0;
  q += whole;
  unsigned fraction = 0;
  if (*q == '.') {
    ++q;
    fraction = count_digits16(q);
    if (fraction > 8) return false;
    if (fraction > 0) digits = digits * kPowersOfTenInt[fraction] + parse_digits8(q, fraction);
    q += fraction;
  }
  if (whole + fraction == 0 || (kClasses[*q] & kWord) || q == end_ || digits > (std::uint64_t{1} << 53)) {
    return false;  // No digits, a longer word ("1e5", "1.2.3", "1.#QNAN"), or the block's end.
  }
  // The digits' integer and the power of ten are exact doubles, so one
  // division rounds correctly.
  const double magnitude = static_cast<double>(digits) / kPowersOfTen[fraction];
  number_ = negative ? -magnitude : magnitude;
  type_ = TokenType::Number;
  p_ = q;
  return true;
}

void Lexer::classify_word() {
  const std::string_view word = text_;
  if (word[0] == '*' && word.size() > 1) {
    type_ = TokenType::Keyword;
    text_ = word.substr(1);
    keyword_ = find_keyword(text_, keyword_hash(text_));
    return;
  }
  const char first = word[0];
  if ((kClasses[static_cast<unsigned char>(first)] & kDigit) || first == '-' || first == '+' ||
      first == '.') {
    if (read_plain_decimal(word, number_)) {
      type_ = TokenType::Number;
      return;
    }
    // Exponents and long digit strings: the library's exact conversion.
    const std::string_view digits = first == '+' ? word.substr(1) : word;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number_);
    if (error == std::errc() && end == digits.data() + digits.size()) {
      type_ = TokenType::Number;
      return;
    }
  }
  type_ = TokenType::Word;
}

}  // namespace kestrun::reader
