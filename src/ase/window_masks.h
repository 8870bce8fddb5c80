// Byte classes of 64-byte windows, one bit per byte, for the tokenizer's
// passes over tokens the walk does not act on.
#pragma once

#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrun {

/// Bytes a window covers: one bit of a 64-bit mask each.
inline constexpr unsigned kWindow = 64;

/// The byte classes of a window, one bit per byte.
struct WindowMasks {
  std::uint64_t blank = 0;    // space, tab to carriage return
  std::uint64_t digit = 0;    // 0 to 9
  std::uint64_t point = 0;    // .
  std::uint64_t star = 0;     // *
  std::uint64_t alnum = 0;    // letters and digits
  std::uint64_t word = 0;     // letters, digits and underscores
  std::uint64_t barrier = 0;  // a quote, a closing brace, a NUL: the window pass stops there
};

/// Classifies the 64 bytes at `p` one at a time: what the others must give.
inline WindowMasks classify_window_bytes(const unsigned char* p) {
  const auto is_alnum = [](unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  };
  WindowMasks masks;
  for (unsigned i = 0; i < kWindow; ++i) {
    const unsigned char c = p[i];
    const std::uint64_t bit = std::uint64_t{1} << i;
    if (c == ' ' || (c >= '\t' && c <= '\r')) masks.blank |= bit;
    if (c >= '0' && c <= '9') masks.digit |= bit;
    if (c == '.') masks.point |= bit;
    if (c == '*') masks.star |= bit;
    if (is_alnum(c)) masks.alnum |= bit;
    if (is_alnum(c) || c == '_') masks.word |= bit;
    if (c == '"' || c == '}' || c == 0) masks.barrier |= bit;
  }
  return masks;
}

/// Classifies the 64 bytes at `p`, which must be readable, 16 at a time.
struct Sse2Windows {
  [[gnu::always_inline]] static WindowMasks classify(const unsigned char* p) {
    WindowMasks masks;
#if defined(__SSE2__)
    for (unsigned part = 0; part < kWindow / 16; ++part) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + part * 16));
      const unsigned shift = part * 16;
      const auto bits = [shift](__m128i is) {
        return std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(is))} << shift;
      };
      // Unsigned ranges: x - low <= high - low.
      const auto in_range = [](__m128i x, char low, char high) {
        const __m128i offset = _mm_sub_epi8(x, _mm_set1_epi8(low));
        return _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(static_cast<char>(high - low))), offset);
      };
      const __m128i is_digit = in_range(bytes, '0', '9');
      // Setting bit 5 folds capitals onto small letters and nothing else onto them.
      const __m128i is_alnum =
          _mm_or_si128(is_digit, in_range(_mm_or_si128(bytes, _mm_set1_epi8(0x20)), 'a', 'z'));
      masks.blank |=
          bits(_mm_or_si128(in_range(bytes, '\t', '\r'), _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '))));
      masks.digit |= bits(is_digit);
      masks.point |= bits(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('.')));
      masks.star |= bits(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('*')));
      masks.alnum |= bits(is_alnum);
      masks.word |= bits(_mm_or_si128(is_alnum, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('_'))));
      masks.barrier |= bits(_mm_or_si128(
          _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('}'))),
          _mm_cmpeq_epi8(bytes, _mm_setzero_si128())));
    }
#else
    masks = classify_window_bytes(p);
#endif
    return masks;
  }
};

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KESTRUN_WINDOW_AVX2 1
[[gnu::target("avx2"), gnu::always_inline]] inline std::uint64_t bits_avx2(__m256i is, unsigned shift) {
  return std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(is))} << shift;
}

[[gnu::target("avx2"), gnu::always_inline]] inline __m256i in_range_avx2(__m256i x, char low, char high) {
  const __m256i offset = _mm256_sub_epi8(x, _mm256_set1_epi8(low));
  return _mm256_cmpeq_epi8(_mm256_min_epu8(offset, _mm256_set1_epi8(static_cast<char>(high - low))), offset);
}

/// The same, 32 bytes at a time, for processors with AVX2.
struct Avx2Windows {
  [[gnu::target("avx2"), gnu::always_inline]] static WindowMasks classify(const unsigned char* p) {
    WindowMasks masks;
    for (unsigned part = 0; part < kWindow / 32; ++part) {
      const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + part * 32));
      const unsigned shift = part * 32;
      const __m256i is_digit = in_range_avx2(bytes, '0', '9');
      const __m256i is_alnum =
          _mm256_or_si256(is_digit, in_range_avx2(_mm256_or_si256(bytes, _mm256_set1_epi8(0x20)), 'a', 'z'));
      const __m256i is_blank =
          _mm256_or_si256(in_range_avx2(bytes, '\t', '\r'), _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(' ')));
      const __m256i is_barrier =
          _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('"')),
                                          _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('}'))),
                          _mm256_cmpeq_epi8(bytes, _mm256_setzero_si256()));
      masks.blank |= bits_avx2(is_blank, shift);
      masks.digit |= bits_avx2(is_digit, shift);
      masks.point |= bits_avx2(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('.')), shift);
      masks.star |= bits_avx2(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('*')), shift);
      masks.alnum |= bits_avx2(is_alnum, shift);
      masks.word |=
          bits_avx2(_mm256_or_si256(is_alnum, _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('_'))), shift);
      masks.barrier |= bits_avx2(is_barrier, shift);
    }
    return masks;
  }
};
#endif

/// True when the processor runs AVX2 (Avx2Windows may be used).
inline bool processor_has_avx2() {
#if defined(KESTRUN_WINDOW_AVX2)
  return __builtin_cpu_supports("avx2") != 0;
#else
  return false;
#endif
}

}  // namespace kestrun
