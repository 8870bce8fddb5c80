#include "reader/lexer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "base/byte_classes.h"
#include "base/byte_scan.h"

namespace kestrun::reader {
namespace {

// kLineOrEnd marks the blanks the blank loop must look at twice: a line end
// counts a line, and a NUL may be the sentinel that ends the block.
// kNumberStart marks the bytes a plain decimal may begin with.
enum CharClass : std::uint8_t { kBlank = 1, kWord = 2, kDigit = 4, kLineOrEnd = 8, kNumberStart = 16 };

constexpr std::array<std::uint8_t, 256> kClasses = [] {
  std::array<std::uint8_t, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    const auto byte = static_cast<unsigned char>(c);
    classes[byte] = byte_class::has_class(byte, byte_class::kBlank) ? kBlank : kWord;
    if (byte_class::has_class(byte, byte_class::kDigit)) classes[byte] = kWord | kDigit | kNumberStart;
  }
  classes[0] = kBlank;  // A stray NUL separates tokens.
  for (const int c : {'{', '}', '"', ':', ','}) classes[static_cast<std::size_t>(c)] = 0;
  classes[std::size_t{'-'}] |= kNumberStart;
  classes[std::size_t{'\n'}] |= kLineOrEnd;
  classes[0] |= kLineOrEnd;
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

/// The length of the run of letters, digits and underscores at `p`, counted
/// sixteen bytes at a time up to `limit` + 16 bytes; `p` must be readable that far.
unsigned count_name_chars(const unsigned char* p, unsigned limit) {
  unsigned count = 0;
  for (;;) {
    const auto run = static_cast<unsigned>(__builtin_ctz(~word_char_mask16(p + count)));
    count += run;
    if (run < 16 || count > limit) return count;
  }
}

/// The end of the name (letters, digits, underscores) at `start` if it is
/// 1 to kMaxWord bytes long and ends at a delimiter before `block_end`; null
/// if it is anything else or may go on in the next block.
inline const unsigned char* name_end_in_block(const unsigned char* start, const unsigned char* block_end) {
  const unsigned length = count_name_chars(start, Lexer::kMaxWord);
  const unsigned char* end = start + length;
  if ((kClasses[*end] & kWord) || end == block_end || length == 0 || length > Lexer::kMaxWord) return nullptr;
  return end;
}

/// For n bytes: the mask of the low n bytes of a word.
constexpr std::array<std::uint64_t, 9> kLowBytes = {0,
                                                    0xFF,
                                                    0xFFFF,
                                                    0xFF'FFFF,
                                                    0xFFFF'FFFF,
                                                    0xFF'FFFF'FFFF,
                                                    0xFFFF'FFFF'FFFF,
                                                    0xFF'FFFF'FFFF'FFFF,
                                                    0xFFFF'FFFF'FFFF'FFFF};

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
    // A local cursor and line count: stores through the member pointer would
    // make every byte read reload them (a byte may alias anything).
    const unsigned char* p = p_;
    std::uint64_t line = line_;
    for (;;) {
      std::uint8_t classes = kClasses[*p];
      while (classes == kBlank) classes = kClasses[*++p];  // Tabs and spaces, no line end.
      if (!(classes & kBlank) || p == end_) break;
      line += *p == '\n' ? 1 : 0;
      ++p;
    }
    p_ = p;
    line_ = line;
    if (p_ != end_) break;
    if (!refill()) {
      type_ = TokenType::End;
      text_ = {};
      token_line_ = line_;
      return;
    }
  }
  token_line_ = line_;
  // Numbers are most tokens, keywords most of the rest.
  const unsigned char first = *p_;
  if (kClasses[first] & kNumberStart) {
    if (read_number_in_block()) return;
  } else if (first == '*') {
    if (read_keyword_in_block()) return;
  } else {
    switch (first) {
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
      default:
        if (read_word_in_block()) return;
        break;
    }
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
  // may go on in the next block, and one with other characters ("*A-B") is
  // a word of its own sort: the general path reads them.
  const unsigned char* name = p_ + 1;
  const unsigned char* end = name_end_in_block(name, end_);
  if (end == nullptr) return false;
  const auto length = static_cast<unsigned>(end - name);
  // The block's slack makes loading eight bytes from the name safe.
  KeywordKey key{0, 0, length};
  std::memcpy(&key.head, name, 8);
  key.head &= kLowBytes[std::min(length, 8U)];
  if (length > 8) {
    std::memcpy(&key.tail, end - 8, 8);
  } else {
    key.tail = key.head;
  }
  type_ = TokenType::Keyword;
  text_ = {reinterpret_cast<const char*>(name), length};
  keyword_ = find_keyword(text_, key);
  p_ = end;
  return true;
}

bool Lexer::read_word_in_block() {
  // Bare words in ASE files are short names: "Omni", "A", "Filter".
  const unsigned char* end = name_end_in_block(p_, end_);
  if (end == nullptr) return false;
  type_ = TokenType::Word;
  text_ = {reinterpret_cast<const char*>(p_), static_cast<std::size_t>(end - p_)};
  p_ = end;
  return true;
}

// Inlined into next(), its one caller: numbers are most tokens, and the call cost
// about 12 instructions a number on top of some 70 for the reading.
[[gnu::always_inline]] inline bool Lexer::read_number_in_block() {
  // "-12.5000": one look at sixteen bytes finds the whole digits, the point
  // and the fraction digits, which are read together when there are at most
  // eight of them, and apart when each part has at most eight.
  const unsigned char* q = p_;
  const bool negative = *q == '-';
  q += negative ? 1 : 0;
  const unsigned mask = digit_mask16(q);
  const auto whole = static_cast<unsigned>(__builtin_ctz(~mask));
  if (whole > 8) return false;
  const bool point = q[whole] == '.';
  const auto fraction = point ? static_cast<unsigned>(__builtin_ctz(~(mask >> (whole + 1)))) : 0U;
  const unsigned char* after = q + whole + (point ? 1 + fraction : 0);
  if (whole + fraction == 0 || (kClasses[*after] & kWord) || after == end_) {
    return false;  // No digits, a longer word ("1e5", "1.2.3", "1.#QNAN"), or the block's end.
  }
  std::uint64_t digits = 0;
  if (whole + fraction <= 8) {
    // Close the gap the point leaves: the whole digits from the word at q,
    // the fraction digits from the word one byte on.
    std::uint64_t at_start = 0, one_on = 0;
    std::memcpy(&at_start, q, 8);
    std::memcpy(&one_on, q + 1, 8);
    digits =
        parse_digit_word(((at_start & kLowBytes[whole]) | (one_on & ~kLowBytes[whole])), whole + fraction);
  } else if (fraction <= 8) {
    digits = (whole > 0 ? parse_digits8(q, whole) : 0) * kPowersOfTenInt[fraction] +
             parse_digits8(q + whole + 1, fraction);
  } else {
    return false;
  }
  // The digits' integer (below 10^16, so below 2^53 only when checked) and
  // the power of ten are exact doubles, so one division rounds correctly.
  if (digits > (std::uint64_t{1} << 53)) return false;
  const double magnitude = static_cast<double>(digits) / kPowersOfTen[fraction];
  number_ = negative ? -magnitude : magnitude;
  type_ = TokenType::Number;
  p_ = after;
  return true;
}

void Lexer::classify_word() {
  const std::string_view word = text_;
  if (word[0] == '*' && word.size() > 1) {
    type_ = TokenType::Keyword;
    text_ = word.substr(1);
    keyword_ = find_keyword(text_, keyword_key(text_));
    return;
  }
  const char first = word[0];
  // A number cut to kMaxWord bytes would read as another number: it is a word.
  if (!truncated_ && ((kClasses[static_cast<unsigned char>(first)] & kDigit) || first == '-' ||
                      first == '+' || first == '.')) {
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
