// The byte classes a pass over tokens the walk does not act on looks for,
// 32 or 64 bytes at a time, one bit per byte.
#pragma once

#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrun {

// The events of the 32 bytes at `q` (stars, quotes, NULs, and closing braces
// if `braces`), and whether a point is among them; the letters, digits and
// underscores of the 64 bytes at `q`. Each in three versions: byte by byte
// (what the others must give), SSE2 and AVX2.

inline bool skip_scan_is_word(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

inline std::uint32_t skip_events_bytes(const unsigned char* q, bool braces, bool& points) {
  std::uint32_t events = 0;
  for (unsigned i = 0; i < 32; ++i) {
    const unsigned char c = q[i];
    if (c == '*' || c == '"' || c == 0 || (braces && c == '}')) events |= std::uint32_t{1} << i;
    points = points || c == '.';
  }
  return events;
}

inline std::uint64_t skip_words_bytes(const unsigned char* q) {
  std::uint64_t words = 0;
  for (unsigned i = 0; i < 64; ++i) {
    if (skip_scan_is_word(q[i])) words |= std::uint64_t{1} << i;
  }
  return words;
}

#if defined(__SSE2__)
inline std::uint32_t skip_events_sse2(const unsigned char* q, bool braces, bool& points) {
  std::uint32_t events = 0;
  __m128i point = _mm_setzero_si128();
  for (unsigned part = 0; part < 2; ++part) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + part * 16));
    __m128i found = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('*')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"'))),
        _mm_cmpeq_epi8(bytes, _mm_setzero_si128()));
    if (braces) found = _mm_or_si128(found, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('}')));
    point = _mm_or_si128(point, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('.')));
    events |= static_cast<std::uint32_t>(_mm_movemask_epi8(found)) << (part * 16);
  }
  points = points || _mm_movemask_epi8(point) != 0;
  return events;
}

inline std::uint64_t skip_words_sse2(const unsigned char* q) {
  std::uint64_t words = 0;
  for (unsigned part = 0; part < 4; ++part) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + part * 16));
    // Unsigned ranges: x - low <= high - low. Setting bit 5 folds capitals
    // onto small letters and nothing else onto them.
    const __m128i digit = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
    const __m128i letter = _mm_sub_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x20)), _mm_set1_epi8('a'));
    const __m128i word =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(digit, _mm_set1_epi8(9)), digit),
                                  _mm_cmpeq_epi8(_mm_min_epu8(letter, _mm_set1_epi8(25)), letter)),
                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8('_')));
    words |= std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(word))} << (part * 16);
  }
  return words;
}
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KESTRUN_SKIP_SCAN_AVX2 1

[[gnu::target("avx2"), gnu::always_inline]] inline std::uint32_t skip_events_avx2(const unsigned char* q,
                                                                                  bool braces, bool& points) {
  const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q));
  const __m256i found =
      _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('*')),
                                      _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('"'))),
                      _mm256_or_si256(_mm256_cmpeq_epi8(bytes, _mm256_setzero_si256()),
                                      _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(braces ? '}' : '*'))));
  points = points || _mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('.'))) != 0;
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(found));
}

[[gnu::target("avx2"), gnu::always_inline]] inline std::uint64_t skip_words_avx2(const unsigned char* q) {
  std::uint64_t words = 0;
  for (unsigned half = 0; half < 2; ++half) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + half * 32));
    const __m256i digit = _mm256_sub_epi8(bytes, _mm256_set1_epi8('0'));
    const __m256i letter =
        _mm256_sub_epi8(_mm256_or_si256(bytes, _mm256_set1_epi8(0x20)), _mm256_set1_epi8('a'));
    const __m256i word = _mm256_or_si256(
        _mm256_or_si256(_mm256_cmpeq_epi8(_mm256_min_epu8(digit, _mm256_set1_epi8(9)), digit),
                        _mm256_cmpeq_epi8(_mm256_min_epu8(letter, _mm256_set1_epi8(25)), letter)),
        _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('_')));
    words |= std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(word))} << (half * 32);
  }
  return words;
}
#endif

/// True when the processor runs AVX2 (the _avx2 versions may be used).
inline bool processor_has_avx2() {
#if defined(KESTRUN_SKIP_SCAN_AVX2)
  return __builtin_cpu_supports("avx2") != 0;
#else
  return false;
#endif
}

}  // namespace kestrun
