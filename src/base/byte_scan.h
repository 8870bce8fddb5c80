// Reading runs of digits without a loop.
//
// A loop over the digits of a number stops at a data-dependent place and
// mispredicts once per number. Comparing sixteen bytes at once (SSE2, in every
// x86-64 processor) finds the end of the run, and up to eight digits are then
// combined in three multiplications. (Blanks are skipped with a plain loop:
// their runs are short and regular enough for the branch predictor, and the
// vector compare's latency made that loop slower.)
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrun {

/// Bit i set if p[i] is a decimal digit, for i below 16. `p` must be
/// readable for 16 bytes.
inline unsigned digit_mask16(const unsigned char* p) {
#if defined(__SSE2__)
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i value = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
  const __m128i is_digit = _mm_cmpeq_epi8(_mm_min_epu8(value, _mm_set1_epi8(9)), value);
  return static_cast<unsigned>(_mm_movemask_epi8(is_digit));
#else
  unsigned mask = 0;
  for (unsigned i = 0; i < 16; ++i) mask |= (p[i] >= '0' && p[i] <= '9') ? 1U << i : 0U;
  return mask;
#endif
}

/// The length of the run of digits at `p`, counting at most 16 bytes. `p`
/// must be readable for 16 bytes.
inline unsigned count_digits16(const unsigned char* p) {
  return static_cast<unsigned>(__builtin_ctz(~digit_mask16(p)));
}

/// The length of the run of digits and points at `p`, counting at most 16
/// bytes; `has_point` tells whether the run holds a point. `p` must be
/// readable for 16 bytes.
inline unsigned count_number_chars16(const unsigned char* p, bool& has_point) {
#if defined(__SSE2__)
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i value = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
  const __m128i is_digit = _mm_cmpeq_epi8(_mm_min_epu8(value, _mm_set1_epi8(9)), value);
  const __m128i is_point = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('.'));
  const auto points = static_cast<unsigned>(_mm_movemask_epi8(is_point));
  const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(is_digit, is_point)));
  const auto count = static_cast<unsigned>(__builtin_ctz(~mask));
  has_point = (points & ((1U << count) - 1U)) != 0;
  return count;
#else
  unsigned count = 0;
  has_point = false;
  for (; count < 16 && ((p[count] >= '0' && p[count] <= '9') || p[count] == '.'); ++count) {
    has_point = has_point || p[count] == '.';
  }
  return count;
#endif
}

/// Bit i set if p[i] is a letter, a digit or an underscore, for i below 16.
/// `p` must be readable for 16 bytes.
inline unsigned word_char_mask16(const unsigned char* p) {
#if defined(__SSE2__)
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i digit = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
  const __m128i is_digit = _mm_cmpeq_epi8(_mm_min_epu8(digit, _mm_set1_epi8(9)), digit);
  // Setting bit 5 folds capitals onto small letters and nothing else onto them.
  const __m128i letter = _mm_sub_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x20)), _mm_set1_epi8('a'));
  const __m128i is_letter = _mm_cmpeq_epi8(_mm_min_epu8(letter, _mm_set1_epi8(25)), letter);
  const __m128i is_underscore = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('_'));
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(is_digit, is_letter), is_underscore)));
#else
  unsigned mask = 0;
  for (unsigned i = 0; i < 16; ++i) {
    const unsigned char c = p[i];
    if ((c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '_') mask |= 1U << i;
  }
  return mask;
#endif
}

/// The length of the run of letters, digits and underscores at `p`, counting
/// at most 32 bytes. `p` must be readable for 32 bytes.
inline unsigned count_word_chars32(const unsigned char* p) {
  const std::uint64_t mask = word_char_mask16(p) | (std::uint64_t{word_char_mask16(p + 16)} << 16);
  return static_cast<unsigned>(__builtin_ctzll(~mask));
}

/// The value of the `count` (1 to 8) decimal digits in the low bytes of
/// `word` (little endian: the first digit is the lowest byte), without a
/// loop: the digits are moved to the top behind leading zeros and combined
/// pairwise.
inline std::uint32_t parse_digit_word(std::uint64_t word, unsigned count) {
  // Dropping the bytes after the digits shifts zero bytes in before them,
  // which the first mask reads as leading zeros.
  if (count < 8) word <<= (8 - count) * 8;
  word = ((word & 0x0F0F0F0F0F0F0F0F) * 2561) >> 8;             // Pairs of digits,
  word = ((word & 0x00FF00FF00FF00FF) * 6553601) >> 16;         // then quadruples,
  word = ((word & 0x0000FFFF0000FFFF) * 42949672960001) >> 32;  // then all eight.
  return static_cast<std::uint32_t>(word);
}

/// The value of the `count` (1 to 8) decimal digits at `p`, which must be
/// readable for 8 bytes.
inline std::uint32_t parse_digits8(const unsigned char* p, unsigned count) {
  std::uint64_t word = 0;
  std::memcpy(&word, p, 8);
  return parse_digit_word(word, count);
}

}  // namespace kestrun
