#include "ase/tokenizer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#include "ase/keyword_table.h"
#include "ase/window_masks.h"
#include "base/byte_scan.h"
#include "base/number_limits.h"

namespace kestrun {
namespace {

enum CharClass : std::uint8_t {
  kSpace = 1,  // blank, tab, line feed, vertical tab, form feed, carriage return
  kDigit = 2,
  kLetter = 4,
  kWord = 8,         // letter, digit or underscore
  kNumberPart = 16,  // digit or point
};

constexpr auto kCharClasses = [] {
  std::array<std::uint8_t, 256> classes{};
  classes[' '] = kSpace;
  for (int c = '\t'; c <= '\r'; ++c) classes[static_cast<std::size_t>(c)] = kSpace;
  for (int c = '0'; c <= '9'; ++c) classes[static_cast<std::size_t>(c)] = kDigit | kWord | kNumberPart;
  for (int c = 'A'; c <= 'Z'; ++c) classes[static_cast<std::size_t>(c)] = kLetter | kWord;
  for (int c = 'a'; c <= 'z'; ++c) classes[static_cast<std::size_t>(c)] = kLetter | kWord;
  classes['_'] = kWord;
  classes['.'] = kNumberPart;
  return classes;
}();

bool has_class(unsigned char c, std::uint8_t wanted) { return (kCharClasses[c] & wanted) != 0; }

/// digit / 10^n for the n-th fraction digit, with 10^n formed as the readers
/// always have (1.0 times 10.0, n times): a table look-up replaces the
/// division and gives the same double. From the 309th digit on 10^n is
/// infinite and a digit adds nothing.
struct FractionTable {
  static constexpr std::size_t kDigits = 309;
  std::array<std::array<double, kDigits + 1>, 10> value{};
};

FractionTable build_fraction_table() {
  FractionTable table;
  double divisor = 1.0;
  for (std::size_t n = 1; n <= FractionTable::kDigits; ++n) {
    divisor = divisor * 10.0;
    for (std::size_t digit = 0; digit < 10; ++digit) {
      table.value[digit][n] = static_cast<double>(digit) / divisor;
    }
  }
  return table;
}

const FractionTable kFractions = build_fraction_table();

/// Keywords up to this length are copied with one fixed-size copy.
constexpr std::size_t kShortKeyword = 32;
static_assert(kShortKeyword <= kBlockSlack && kShortKeyword <= Token::kMaxKeyword);

/// A whole part below 10^14 can take one more digit and stay below 2^53,
/// where every double is an integer and magnitude * 10 + digit is exact.
constexpr std::uint64_t kExactWholeLimit = 100'000'000'000'000;

/// The value of a number so far: the readers' accumulation, digit by digit.
struct NumberState {
  double magnitude = 0.0;
  std::size_t fraction_digits = 0;
  bool point_seen = false;
};

// Digits accumulate exactly as the exporter's readers always have: the whole
// part as magnitude * 10 + digit, each fraction digit as digit / 10^n added
// on, all in double. Library conversions round differently and are not used.

/// Adds the run of digits and points at `p` to `state`; returns the byte
/// after the run.
const unsigned char* accumulate_number(const unsigned char* p, NumberState& state) {
  unsigned char c = *p;
  if (!state.point_seen) {
    // While magnitude * 10 + digit is exact in double, integer arithmetic
    // gives the same value, without the chain of floating-point latencies.
    if (state.magnitude < kExactWholeLimit) {
      auto whole = static_cast<std::uint64_t>(state.magnitude);
      for (; has_class(c, kDigit) && whole < kExactWholeLimit; c = *++p) {
        whole = whole * 10 + static_cast<std::uint64_t>(c - '0');
      }
      state.magnitude = static_cast<double>(whole);
    }
    for (; has_class(c, kDigit); c = *++p) {
      state.magnitude = state.magnitude * 10.0 + static_cast<double>(c - '0');
    }
    if (c == '.') {
      state.point_seen = true;
      c = *++p;
    }
  }
  if (state.point_seen) {
    // Further points are accepted and change nothing. A zero digit adds
    // 0.0, which leaves a non-negative magnitude exactly as it was, and
    // past the last entry of the table every digit adds 0.0: no branches.
    for (;;) {
      for (; has_class(c, kDigit); c = *++p) {
        state.fraction_digits = std::min(state.fraction_digits + 1, FractionTable::kDigits);
        state.magnitude = state.magnitude + kFractions.value[c - '0'][state.fraction_digits];
      }
      if (c != '.') break;
      c = *++p;
    }
  }
  return p;
}

/// Reads the run of digits and points at `p` (at least one) into `state`,
/// which starts empty, and returns the byte after it. A run that reaches the
/// block's limit may go on in the next block: accumulate_number continues it.
///
/// Numbers as exporters write them (at most eight whole digits, at most
/// fifteen fraction digits, one point) are read without a loop over the whole
/// part: its value is exact in double, so an integer parse gives the same.
[[gnu::always_inline]] inline const unsigned char* scan_number(const unsigned char* p, NumberState& state) {
  const unsigned whole_digits = count_digits16(p);
  if (whole_digits != 0 && whole_digits <= 8) {
    double magnitude = parse_digits8(p, whole_digits);
    const unsigned char* end = p + whole_digits;
    if (*end != '.') {
      state.magnitude = magnitude;
      return end;
    }
    ++end;
    const unsigned fraction_digits = count_digits16(end);
    if (fraction_digits != 16 && end[fraction_digits] != '.') {
      for (unsigned n = 0; n < fraction_digits; ++n) {
        magnitude = magnitude + kFractions.value[end[n] - '0'][n + 1];
      }
      state = {magnitude, fraction_digits, true};
      return end + fraction_digits;
    }
  }
  return accumulate_number(p, state);
}

/// Gives `magnitude` (not negative) the sign of the number, without a branch.
double with_sign(double magnitude, bool negative) {
  return std::bit_cast<double>(std::bit_cast<std::uint64_t>(magnitude) | (std::uint64_t{negative} << 63));
}

/// The value of the number whose text (a '-' or a digit first) starts at
/// `p` and ends inside the block.
double value_of_number(const unsigned char* p) {
  const bool negative = *p == '-';
  NumberState state;
  scan_number(p + (negative ? 1 : 0), state);
  return with_sign(state.magnitude, negative);
}

/// Bits 0 to count - 1.
constexpr std::uint64_t bits_below(unsigned count) {
  return count >= kWindow ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
}

/// The highest set bit of `bits`, which is not 0.
unsigned highest_bit(std::uint64_t bits) { return 63U - static_cast<unsigned>(std::countl_zero(bits)); }

/// Of the window that `masks` classify at `p` (a token's first byte or a
/// blank): the bytes that hold whole tokens, as far as the masks tell tokens
/// apart and no stop is among them. Notes the last number of each sort and
/// the last keyword among them in `pending`.
[[gnu::always_inline]] inline unsigned pass_window(const WindowMasks& masks, const unsigned char* p,
                                                   KindSet stops, PendingTokens& pending) {
  // The window ends where every token before it is known to be whole: at a
  // barrier (a quote, a closing brace: each starts a token of its own), or
  // else after the last blank (at the NUL of the block's end a number or a
  // keyword may go on in the next block).
  unsigned end = 0;
  const std::uint64_t barrier_bit = masks.barrier & (0 - masks.barrier);
  if (barrier_bit != 0 && p[std::countr_zero(barrier_bit)] != 0) {
    end = static_cast<unsigned>(std::countr_zero(barrier_bit));
  } else if (const std::uint64_t blanks = masks.blank & (barrier_bit - 1); blanks != 0) {
    end = highest_bit(blanks) + 1;
  }
  // Keywords: a star and a letter or digit after it begin a word of letters,
  // digits and underscores. Adding a word's first bit to the word mask
  // carries through the word: the sum has the word's bits clear and the bit
  // after it set. The window stops before a keyword the walk stops at.
  const std::uint64_t word_starts = (masks.star << 1) & masks.alnum & bits_below(end);
  const std::uint64_t word_sums = masks.word + word_starts;
  const std::uint64_t words = masks.word & ~word_sums;
  const std::uint64_t word_ends = word_sums & ~masks.word;
  for (std::uint64_t starts = word_starts; starts != 0; starts &= starts - 1) {
    const auto start = static_cast<unsigned>(std::countr_zero(starts));
    const auto length = static_cast<unsigned>(std::countr_zero(word_ends >> start));
    const auto* text = reinterpret_cast<const char*>(p + start);
    const TokenKind candidate = keyword_candidate(text, length);
    if (stops.contains(candidate) && find_padded_keyword(text, length) == candidate) {
      end = start - 1;  // On the star.
      break;
    }
  }
  // Numbers: a run of digits and points outside keywords, with the minus
  // sign before it. A point that no digit, point or minus sign comes before
  // is a token of its own (Dot): the window stops there too.
  std::uint64_t numbers = ((masks.digit & ~words) | masks.point) & bits_below(end);
  for (std::uint64_t first_points = numbers & ~(numbers << 1) & masks.point; first_points != 0;
       first_points &= first_points - 1) {
    const auto point = static_cast<unsigned>(std::countr_zero(first_points));
    if (point == 0 || p[point - 1] != '-') {
      end = point;
      numbers &= bits_below(end);
      break;
    }
  }
  if (end == 0) {
    return 0;
  }
  const std::uint64_t run_starts = numbers & ~(numbers << 1);
  const std::uint64_t run_ends = (numbers + run_starts) & ~numbers;  // The byte after each run.
  // A run of digits from a run's start to its end is an integer; any other
  // run holds a point and is a real.
  const std::uint64_t digits = numbers & ~masks.point;
  const std::uint64_t integer_ends = (digits + (run_starts & digits)) & ~numbers & run_ends;
  const std::uint64_t real_ends = run_ends & ~integer_ends;
  const auto token_start = [&](std::uint64_t ends) {
    const unsigned run_start = highest_bit(run_starts & bits_below(highest_bit(ends)));
    const bool signed_run = run_start != 0 && p[run_start - 1] == '-';
    return p + run_start - (signed_run ? 1 : 0);
  };
  if (integer_ends != 0) {
    pending.integer = token_start(integer_ends);
  }
  if (real_ends != 0) {
    pending.real = token_start(real_ends);
  }
  if (const std::uint64_t starts = word_starts & bits_below(end); starts != 0) {
    pending.keyword = p + highest_bit(starts);
  }
  return end;
}

// Window after window, each from where the last stopped, until one passes
// over nothing; returns where: one token is read there as next_token reads it.

const unsigned char* pass_windows_sse2(const unsigned char* p, KindSet stops, PendingTokens& pending) {
  while (const unsigned end = pass_window(Sse2Windows::classify(p), p, stops, pending)) {
    p += end;
  }
  return p;
}

#if defined(KESTRUN_WINDOW_AVX2)
[[gnu::target("avx2")]] const unsigned char* pass_windows_avx2(const unsigned char* p, KindSet stops,
                                                               PendingTokens& pending) {
  while (const unsigned end = pass_window(Avx2Windows::classify(p), p, stops, pending)) {
    p += end;
  }
  return p;
}
#endif

/// The window pass for this processor, chosen once.
using PassWindows = const unsigned char* (*)(const unsigned char*, KindSet, PendingTokens&);
const PassWindows pass_windows_here = [] {
#if defined(KESTRUN_WINDOW_AVX2)
  if (processor_has_avx2()) {
    return &pass_windows_avx2;
  }
#endif
  return &pass_windows_sse2;
}();

}  // namespace

Tokenizer::Tokenizer(ByteSource& source, std::function<void()> on_end) : chars_(source, std::move(on_end)) {}

bool Tokenizer::reload(const unsigned char*& p) {
  chars_.advance_to(p);
  p = chars_.position();
  return !chars_.end_of_input();
}

void Tokenizer::read_number(const unsigned char* p) {
  const bool negative = *p == '-';
  if (negative) {
    ++p;
    if ((p == chars_.limit() && !reload(p)) || !has_class(*p, kNumberPart)) {
      token_.kind = TokenKind::Unknown;  // A lone minus sign.
      chars_.advance_to(p);
      return;
    }
  }
  NumberState state;
  p = scan_number(p, state);
  while (p == chars_.limit() && reload(p)) {
    p = accumulate_number(p, state);  // The number goes on in the next block.
  }
  chars_.advance_to(p);
  const double value = with_sign(state.magnitude, negative);
  if (state.point_seen) {
    token_.kind = TokenKind::Real;
    token_.real = value;
  } else {
    token_.kind = TokenKind::Integer;
    token_.integer = saturate_to_int32(value);
  }
}

void Tokenizer::next_token() {
  const unsigned char* p = chars_.position();
  for (;;) {
    while (has_class(*p, kSpace)) ++p;
    if (p != chars_.limit()) break;
    if (!reload(p)) {
      token_.kind = TokenKind::End;  // The source is not asked again.
      return;
    }
  }
  const unsigned char c = *p;
  if (has_class(c, kDigit) || c == '-') {
    read_number(p);
  } else if (c == '"') {
    read_string(p);
  } else if (c == '*') {
    read_keyword(p);
  } else {
    token_.kind = char_kind_table[c];
    chars_.advance_to(p + 1);
  }
}

void Tokenizer::settle(PendingTokens& pending) {
  if (pending.real != nullptr) {
    token_.real = value_of_number(pending.real);
    pending.real = nullptr;
  }
  if (pending.integer != nullptr) {
    token_.integer = saturate_to_int32(value_of_number(pending.integer));
    pending.integer = nullptr;
  }
  if (pending.keyword != nullptr) {
    // The word ends inside the block; its text is kept up to kMaxKeyword.
    std::size_t length = 0;
    for (unsigned run = 32; run == 32; length += run) {
      run = count_word_chars32(pending.keyword + length);
    }
    if (length <= kShortKeyword) {
      std::memcpy(token_.keyword_chars.data(), pending.keyword, kShortKeyword);
    } else {
      length = std::min(length, Token::kMaxKeyword);
      std::memcpy(token_.keyword_chars.data(), pending.keyword, length);
    }
    token_.keyword_length = length;
    pending.keyword = nullptr;
  }
}

void Tokenizer::next_token_until(KindSet stops) {
  // Windows tell keywords, closing braces and the rest apart; a walk that
  // stops at other tokens goes one token at a time.
  constexpr KindSet kBlindToWindows = {TokenKind::Unknown, TokenKind::Lbrace, TokenKind::Colon,
                                       TokenKind::Dot,     TokenKind::Real,   TokenKind::Integer,
                                       TokenKind::String};
  // Short walks (to the next line of a list) go one token at a time too.
  constexpr unsigned kTokensBeforeWindows = 4;
  const bool windows = (stops & kBlindToWindows).empty();
  unsigned tokens = 0;
  PendingTokens pending;
  const unsigned char* p = chars_.position();
  TokenKind kind = TokenKind::Unknown;
  for (;;) {
    if (windows && ++tokens > kTokensBeforeWindows) {
      // Window after window, each from where the last stopped, until one
      // cannot go on: one token is then read as below.
      p = pass_windows_here(p, stops, pending);
    }
    while (has_class(*p, kSpace)) ++p;
    const unsigned char* const limit = chars_.limit();
    if (p == limit) {
      settle(pending);  // The block is given up.
      if (!reload(p)) {
        token_.kind = TokenKind::End;
        return;
      }
      continue;
    }
    // Tokens that lie inside the block are classified here; anything that
    // may go on in the next block, and strings, are read as next_token reads
    // them.
    const unsigned char* const start = p;
    const unsigned char c = *p;
    bool whole = true;
    if (has_class(c, kDigit) || c == '-') {
      const unsigned char* const digits = p + (c == '-' ? 1 : 0);
      bool has_point = false;
      const unsigned run = count_number_chars16(digits, has_point);
      if (run == 0) {
        kind = TokenKind::Unknown;  // A lone minus sign.
        whole = digits != limit;
      } else {
        kind = has_point ? TokenKind::Real : TokenKind::Integer;
        whole = run != 16 && digits + run != limit;
        if (whole) {
          (has_point ? pending.real : pending.integer) = p;
        }
      }
      p = digits + run;
    } else if (c == '*') {
      const unsigned char* const word = p + 1;
      if (!has_class(*word, kDigit | kLetter)) {
        kind = TokenKind::Unknown;  // A '*' alone; the keyword text stays.
        whole = word != limit;
        p = word;
      } else {
        const unsigned run = count_word_chars32(word);
        kind = find_padded_keyword(reinterpret_cast<const char*>(word), run);
        whole = run < kShortKeyword && word + run != limit;
        if (whole) {
          pending.keyword = word;
        }
        p = word + run;
      }
    } else if (c == '"') {
      whole = false;
    } else {
      kind = char_kind_table[c];
      ++p;
    }
    if (!whole) [[unlikely]] {
      settle(pending);
      if (c == '"') {
        read_string(start);
      } else if (c == '*') {
        read_keyword(start);
      } else {
        read_number(start);
      }
      if (stops.contains(token_.kind) || chars_.end_of_input()) {
        return;
      }
      p = chars_.position();
      continue;
    }
    if (stops.contains(kind)) {
      settle(pending);
      token_.kind = kind;
      chars_.advance_to(p);
      return;
    }
    if (p == limit) {
      settle(pending);
      chars_.advance_to(p);
      p = chars_.position();
      if (chars_.end_of_input()) {
        token_.kind = kind;
        return;
      }
    }
  }
}

void Tokenizer::read_string(const unsigned char* p) {
  token_.kind = TokenKind::String;
  ++p;
  if (p == chars_.limit() && !reload(p)) {
    token_.text_length = 0;  // The input ended right after the opening quote.
    return;
  }
  if (*p == '"') {
    token_.text_chars[0] = ' ';  // The empty string reads as one space.
    token_.text_length = 1;
    chars_.advance_to(p + 1);
    return;
  }
  std::size_t length = 0;
  for (;;) {
    const auto* quote =
        static_cast<const unsigned char*>(std::memchr(p, '"', static_cast<std::size_t>(chars_.limit() - p)));
    const unsigned char* run_end = quote != nullptr ? quote : chars_.limit();
    for (; p != run_end; ++p) {
      if (length < Token::kMaxText) {
        token_.text_chars[length++] = static_cast<char>(CharSource::fold(*p));
      }
    }
    if (quote != nullptr) {
      ++p;  // Past the closing quote.
      break;
    }
    if (!reload(p)) break;  // The input ended inside the string.
  }
  token_.text_length = length;
  chars_.advance_to(p);
}

void Tokenizer::read_keyword(const unsigned char* p) {
  ++p;
  if (has_class(*p, kDigit | kLetter)) {
    const unsigned run = count_word_chars32(p);
    if (run < kShortKeyword && p + run != chars_.limit()) {
      // A word inside the block: a copy of constant size compiles to a few
      // moves, and the block's slack makes reading past the word safe.
      std::memcpy(token_.keyword_chars.data(), p, kShortKeyword);
      token_.keyword_length = run;
      token_.kind = find_padded_keyword(token_.keyword_chars.data(), run);
      chars_.advance_to(p + run);
      return;
    }
  }
  token_.kind = TokenKind::Unknown;
  if ((p == chars_.limit() && !reload(p)) || !has_class(*p, kDigit | kLetter)) {
    chars_.advance_to(p);  // A '*' alone; `keyword` keeps its text.
    return;
  }
  std::size_t length = 0;
  for (;;) {
    const unsigned char* start = p;
    while (has_class(*p, kWord)) ++p;
    const auto run = static_cast<std::size_t>(p - start);
    if (length == 0 && run <= kShortKeyword) {
      std::memcpy(token_.keyword_chars.data(), start, kShortKeyword);
      length = run;
    } else {
      const std::size_t kept = std::min(run, Token::kMaxKeyword - length);
      std::memcpy(token_.keyword_chars.data() + length, start, kept);
      length += kept;
    }
    if (p != chars_.limit() || !reload(p)) break;
  }
  chars_.advance_to(p);
  token_.keyword_length = length;
  static_assert(Token::kMaxKeyword >= kPaddedKeyword);
  token_.kind = find_padded_keyword(token_.keyword_chars.data(), length);
}

}  // namespace kestrun
