#include "ase/tokenizer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#include "ase/keyword_table.h"
#include "ase/skip_scan.h"
#include "base/byte_classes.h"
#include "base/byte_scan.h"
#include "base/number_limits.h"

namespace kestrun::flat {
namespace {

using byte_class::has_class;
using byte_class::kDigit;
using byte_class::kLetter;
using byte_class::kNumberPart;
constexpr std::uint8_t kSpace = byte_class::kBlank;
constexpr std::uint8_t kWord = byte_class::kNameChar;

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

/// Where a fast pass stopped.
struct FastStop {
  const unsigned char* resume;  // Where reading goes on token by token: a token's first byte or a blank.
  const unsigned char* event;   // The quote or NUL that stopped the pass, or `resume` itself.
  // When the pass stopped on a token the walk stops at (a keyword or a
  // closing brace, inside the block), its kind and the byte after it.
  TokenKind kind = TokenKind::Unknown;
  const unsigned char* end = nullptr;
};

/// The last number of each sort in a stretch of tokens.
struct LastNumbers {
  const unsigned char* real = nullptr;
  const unsigned char* integer = nullptr;
};

/// A token classified without reading its value: its kind, where it ends,
/// and whether it lies wholly inside the block.
struct ClassifiedToken {
  TokenKind kind;
  const unsigned char* end;
  bool whole;
};

/// Classifies the token at `p` (not a blank, before the block's `limit`;
/// null: no limit in the stretch), and gives the byte after it in the block.
/// A number or keyword that ends inside the block is noted in `pending`, to
/// be read if the walk stops after it; a token that may go on in the next
/// block, or a string, is not whole: it must be read byte by byte. Without
/// `kKeywordKinds` a keyword's kind is not looked up (it is Unknown).
template <bool kKeywordKinds = true>
[[gnu::always_inline]] inline ClassifiedToken classify_token(const unsigned char* p,
                                                             const unsigned char* limit,
                                                             PendingTokens& pending) {
  const unsigned char c = *p;
  if (has_class(c, kDigit) || c == '-') {
    const unsigned char* const digits = p + (c == '-' ? 1 : 0);
    bool has_point = false;
    const unsigned run = count_number_chars16(digits, has_point);
    if (run == 0) {
      return {TokenKind::Unknown, digits, digits != limit};  // A lone minus sign.
    }
    const unsigned char* end = digits + run;
    const bool whole = run != 16 && end != limit;
    if (whole) {
      (has_point ? pending.real : pending.integer) = p;
    } else {
      for (; has_class(*end, kNumberPart); ++end) has_point = has_point || *end == '.';  // A long number.
    }
    return {has_point ? TokenKind::Real : TokenKind::Integer, end, whole};
  }
  if (c == '*') {
    const unsigned char* const word = p + 1;
    if (!has_class(*word, kDigit | kLetter)) {
      return {TokenKind::Unknown, word, word != limit};  // A '*' alone; the keyword text stays.
    }
    const unsigned run = count_word_chars32(word);
    TokenKind kind = TokenKind::Unknown;
    if constexpr (kKeywordKinds) kind = find_padded_keyword(reinterpret_cast<const char*>(word), run);
    const unsigned char* end = word + run;
    const bool whole = run < kShortKeyword && end != limit;
    if (whole) {
      pending.keyword = word;
      pending.keyword_length = run;
    } else {
      while (has_class(*end, kWord)) ++end;  // A long keyword.
    }
    return {kind, end, whole};
  }
  if (c == '"') {
    return {TokenKind::Unknown, p + 1, false};
  }
  return {char_kind_table[c], p + 1, true};
}

/// Classifies the tokens of [p, end) (`p` a token's first byte or a blank,
/// `end` a token's first byte, no quote between), as the tokenizer cuts
/// them, and returns the first byte of the last real and the last integer.
LastNumbers last_numbers(const unsigned char* p, const unsigned char* end) {
  LastNumbers last;
  PendingTokens unused;
  while (p < end) {
    if (has_class(*p, kSpace)) {
      ++p;
      continue;
    }
    const ClassifiedToken token = classify_token<false>(p, nullptr, unused);
    if (token.kind == TokenKind::Real) {
      last.real = p;
    } else if (token.kind == TokenKind::Integer) {
      last.integer = p;
    }
    p = token.end;
  }
  return last;
}

/// The state of a fast pass over tokens the walk does not act on. The pass
/// looks only at stars, quotes, NULs and (where the walk stops at them)
/// closing braces: outside strings every star begins a token, so it finds
/// each keyword without cutting the tokens between. Where it stops, the
/// last number of each sort before is found by cutting the tokens of the
/// last lines only, backwards from the keywords' stars it noted.
class FastPass {
 public:
  FastPass(const unsigned char* start, const KindSet& stops)
      : start_(start), stops_(stops), braces_(stops.contains(TokenKind::Rbrace)) {}

  [[nodiscard]] bool braces() const { return braces_; }

  /// Acts on the byte at `at`, one the scan found; true when the pass ends
  /// there (stop() then tells where).
  [[gnu::always_inline]] bool event(const unsigned char* at) {
    const unsigned char c = *at;
    if (c == '*') {
      const unsigned char* const word = at + 1;
      if (!has_class(*word, kDigit | kLetter)) {
        return false;  // A '*' alone.
      }
      // Most words are told from the stops by their first bytes alone.
      std::uint64_t first_bytes = 0;
      std::memcpy(&first_bytes, word, sizeof first_bytes);
      if (stops_.may_begin_keyword(first_bytes)) {
        // (A word that ends at the block's end may go on in the next one: it
        // is passed, and reading goes on from it at the block's end.)
        const unsigned length = count_word_chars32(word);
        if (length < kShortKeyword && word[length] != 0) {
          if (const TokenKind kind = find_padded_keyword(reinterpret_cast<const char*>(word), length);
              stops_.contains(kind)) {
            stop_ = {at, at, kind, word + length};  // The walk stops at this keyword.
            return true;
          }
        }
      }
      stars_[stars_seen_ % kRecentStars] = at;
      ++stars_seen_;
      return false;
    }
    if (c == '}') {
      stop_ = {at, at, TokenKind::Rbrace, at + 1};
      return true;
    }
    // A quote or the block's end: reading goes on token by token from the
    // last keyword (a string, or a token that the next block may continue).
    stop_ = {stars_seen_ != 0 ? stars_[(stars_seen_ - 1) % kRecentStars] : start_, at};
    return true;
  }

  /// Notes the last keyword and numbers before the stop in `pending`.
  /// `points` tells whether a point was among the bytes scanned: without
  /// one there is no real to look for.
  FastStop stop(PendingTokens& pending, bool points) const {
    const unsigned char* const end = stop_.resume;
    // (Where a quote or the block's end stopped the pass, reading goes on
    // from the last star: that keyword is read again, and the line from it
    // to `end` is empty.)
    const std::size_t stars = stars_seen_;
    if (stars != 0) {
      pending.keyword = stars_[(stars - 1) % kRecentStars] + 1;
      pending.keyword_length = 0;  // Counted when it is worked out.
    }
    // Line by line backwards, from each star to the next, as long as the
    // stars are known; then forwards over what comes before them.
    bool need_real = points;
    bool need_integer = true;
    const unsigned char* line_end = end;
    const std::size_t known = std::min(stars, kRecentStars);
    for (std::size_t back = 0; back < known && (need_real || need_integer); ++back) {
      const unsigned char* const line = stars_[(stars - 1 - back) % kRecentStars];
      take(last_numbers(line, line_end), need_real, need_integer, pending);
      line_end = line;
    }
    if ((need_real || need_integer) && start_ < line_end) {
      take(last_numbers(start_, line_end), need_real, need_integer, pending);
    }
    return stop_;
  }

 private:
  static constexpr std::size_t kRecentStars = 64;

  static void take(const LastNumbers& found, bool& need_real, bool& need_integer, PendingTokens& pending) {
    if (need_real && found.real != nullptr) {
      pending.real = found.real;
      need_real = false;
    }
    if (need_integer && found.integer != nullptr) {
      pending.integer = found.integer;
      need_integer = false;
    }
  }

  const unsigned char* start_;
  const KindSet& stops_;
  bool braces_;
  FastStop stop_{nullptr, nullptr};
  // Keywords' stars, the last kRecentStars; only those seen are read.
  std::array<const unsigned char*, kRecentStars> stars_;  // NOLINT(cppcoreguidelines-pro-type-member-init)
  std::size_t stars_seen_ = 0;
};

/// Passes over tokens from `p` with a FastPass, 32 bytes at a time; returns
/// where the pass stopped, with the last numbers before it in `pending`.
FastStop fast_pass(const unsigned char* p, const KindSet& stops, PendingTokens& pending) {
  FastPass pass(p, stops);
  bool points = false;
  for (const unsigned char* q = p;; q += 32) {
    for (std::uint32_t events = skip_events(q, pass.braces(), points); events != 0; events &= events - 1) {
      if (pass.event(q + std::countr_zero(events))) {
        return pass.stop(pending, points);
      }
    }
  }
}

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
  // Not classify_token: its numbers would be scanned twice, and next_token
  // is the default walk's hot path (see docs/architecture.md).
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

namespace {

const unsigned char* skip_blanks(const unsigned char* p) {
  while (has_class(*p, kSpace)) ++p;
  return p;
}

/// An integer token of one to eight digits (a minus sign before them
/// allowed) at `p`: its end, with its value in `value`; null for anything
/// else.
const unsigned char* short_integer(const unsigned char* p, std::int32_t& value) {
  const bool negative = *p == '-';
  const unsigned char* const digits = p + (negative ? 1 : 0);
  const unsigned count = count_digits16(digits);
  if (count == 0 || count > 8 || digits[count] == '.') {
    return nullptr;
  }
  const auto magnitude = static_cast<std::int32_t>(parse_digits8(digits, count));
  value = negative ? -magnitude : magnitude;
  return digits + count;
}

}  // namespace

bool Tokenizer::next_numbers(std::span<Number> numbers) {
  const unsigned char* p = chars_.position();
  for (Number& number : numbers) {
    p = skip_blanks(p);
    const bool negative = *p == '-';
    const unsigned char* const digits = p + (negative ? 1 : 0);
    if (!has_class(*digits, kNumberPart) || (!negative && *digits == '.')) {
      return false;  // No number (a point alone is a token of its own).
    }
    NumberState state;
    p = scan_number(digits, state);
    if (p == chars_.limit()) {
      return false;  // The number may go on in the next block.
    }
    const double value = with_sign(state.magnitude, negative);
    number.kind = state.point_seen ? TokenKind::Real : TokenKind::Integer;
    number.integer = saturate_to_int32(value);
    number.real = value;
  }
  // Each token leaves the field of its own sort set, the last of each sort last.
  for (const Number& number : numbers) {
    if (number.kind == TokenKind::Real) {
      token_.real = number.real;
    } else {
      token_.integer = number.integer;
    }
  }
  if (!numbers.empty()) {
    token_.kind = numbers.back().kind;
  }
  chars_.advance_to(p);
  return true;
}

std::optional<std::array<std::int32_t, 3>> Tokenizer::next_face_corners() {
  // Each step passes over blanks and one token; `p` stays after the token.
  const auto byte = [](const unsigned char*& p, unsigned char wanted) {
    p = skip_blanks(p);
    return *p++ == wanted;
  };
  std::int32_t number = 0;  // The face's own number, not used.
  const unsigned char* p = short_integer(skip_blanks(chars_.position()), number);
  if (p == nullptr || !byte(p, ':')) {
    return std::nullopt;
  }
  std::array<std::int32_t, 3> corners{};
  for (std::size_t corner = 0; corner < corners.size(); ++corner) {
    if (!byte(p, "ABC"[corner]) || !byte(p, ':') ||
        (p = short_integer(skip_blanks(p), corners[corner])) == nullptr) {
      return std::nullopt;
    }
  }
  if (p == chars_.limit()) {
    return std::nullopt;  // The last corner may go on in the next block.
  }
  token_.kind = TokenKind::Integer;
  token_.integer = corners[2];
  chars_.advance_to(p);
  return corners;
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
    std::size_t length = pending.keyword_length;
    if (length == 0) {
      for (unsigned run = 32; run == 32; length += run) {
        run = count_word_chars32(pending.keyword + length);
      }
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

void Tokenizer::next_token_until(const KindSet& stops) {
  // Fast passes find keywords and closing braces only; a walk that stops at
  // other tokens goes one token at a time. Short walks (to the next line of a
  // list) go one token at a time too.
  constexpr KindSet kUnseenByFastPasses = {TokenKind::Unknown, TokenKind::Lbrace, TokenKind::Colon,
                                           TokenKind::Dot,     TokenKind::Real,   TokenKind::Integer,
                                           TokenKind::String};
  constexpr unsigned kTokensBeforeFastPasses = 4;
  const bool fast = (stops & kUnseenByFastPasses).empty();
  unsigned tokens = 0;
  PendingTokens pending;
  const unsigned char* p = chars_.position();
  // Up to a quote or the block's end that stopped a fast pass, tokens are
  // read one at a time (null: no such place in this block).
  const unsigned char* slow_until = nullptr;
  TokenKind kind = TokenKind::Unknown;
  for (;;) {
    if (fast && (slow_until == nullptr || p > slow_until) &&
        (++tokens > kTokensBeforeFastPasses || *skip_blanks(p) != '*')) {
      const FastStop stop = fast_pass(p, stops, pending);
      if (stop.kind != TokenKind::Unknown) {
        // The pass stopped on the token: it is read as the tokens before.
        if (stop.kind != TokenKind::Rbrace) {
          pending.keyword = stop.resume + 1;
          pending.keyword_length = static_cast<std::size_t>(stop.end - pending.keyword);
        }
        settle(pending);
        token_.kind = stop.kind;
        chars_.advance_to(stop.end);
        return;
      }
      p = stop.resume;
      slow_until = stop.event;
    }
    while (has_class(*p, kSpace)) ++p;
    const unsigned char* const limit = chars_.limit();
    if (p == limit) {
      settle(pending);  // The block is given up.
      slow_until = nullptr;
      if (!reload(p)) {
        token_.kind = TokenKind::End;
        return;
      }
      continue;
    }
    const unsigned char* const start = p;
    const ClassifiedToken token = classify_token(p, limit, pending);
    kind = token.kind;
    p = token.end;
    if (!token.whole) [[unlikely]] {
      settle(pending);
      read_token_bytewise(start);
      if (stops.contains(token_.kind) || chars_.end_of_input()) {
        return;
      }
      p = chars_.position();
      slow_until = nullptr;  // The token may have ended in another block.
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
      slow_until = nullptr;
      if (chars_.end_of_input()) {
        token_.kind = kind;
        return;
      }
    }
  }
}

void Tokenizer::read_token_bytewise(const unsigned char* p) {
  if (*p == '"') {
    read_string(p);
  } else if (*p == '*') {
    read_keyword(p);
  } else {
    read_number(p);
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

}  // namespace kestrun::flat
