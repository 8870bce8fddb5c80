// The bytes a pass over tokens the walk does not act on looks for, 32 at a
// time, one bit per byte.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrun::flat {

// The events of the 32 bytes at `q` (stars, quotes, NULs, and closing braces
// if `braces`), and whether a point is among them: byte by byte (what the
// vector version must give) and with SSE2.

inline std::uint32_t skip_events_bytes(const unsigned char* q, bool braces, bool& points) {
  std::uint32_t events = 0;
  for (unsigned i = 0; i < 32; ++i) {
    const unsigned char c = q[i];
    if (c == '*' || c == '"' || c == 0 || (braces && c == '}')) events |= std::uint32_t{1} << i;
    points = points || c == '.';
  }
  return events;
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
#endif

/// The scan the tokenizer uses. (AVX2 versions were slower in all: the
/// processor's other code, in SSE, then paid for the switch between the two.)
inline std::uint32_t skip_events(const unsigned char* q, bool braces, bool& points) {
#if defined(__SSE2__)
  return skip_events_sse2(q, braces, points);
#else
  return skip_events_bytes(q, braces, points);
#endif
}

}  // namespace kestrun::flat
