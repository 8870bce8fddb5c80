// The vector scans of the tokenizer's fast passes give the same bits as the
// scans that look at one byte at a time.
#include "ase/skip_scan.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <tuple>

namespace kestrun::flat {
namespace {

/// The events of the first 32 bytes (and whether a point is among them) and the words of all 64.
template <class Events, class Words>
std::tuple<std::uint32_t, bool, std::uint64_t> scanned(Events events, Words words, const unsigned char* q,
                                                       bool braces) {
  bool points = false;
  const std::uint32_t found = events(q, braces, points);
  return {found, points, words(q)};
}

/// The byte-at-a-time scans, the SSE2 scans where built and the scans the tokenizer calls agree.
void expect_same_scans(const unsigned char* q) {
  for (const bool braces : {false, true}) {
    const auto expected = scanned(skip_events_bytes, skip_words_bytes, q, braces);
#if defined(__SSE2__)
    EXPECT_EQ(scanned(skip_events_sse2, skip_words_sse2, q, braces), expected);
#endif
    EXPECT_EQ(scanned(skip_events, skip_words, q, braces), expected);
  }
}

TEST(SkipScan, VectorScansAgreeOnEveryByteValueAtEveryPlace) {
  // The edges of every range ('/' '0' '9' ':', '@' 'A' 'Z' '[', '^' '_' '`',
  // '`' 'a' 'z' '{') and the bytes from 0x80 up among them.
  std::array<unsigned char, 64> window{};
  for (int value = 0; value < 256; ++value) {
    for (std::size_t place = 0; place < window.size(); ++place) {
      window.fill('#');
      window[place] = static_cast<unsigned char>(value);
      expect_same_scans(window.data());
    }
  }
}

TEST(SkipScan, VectorScansAgreeOnRandomWindows) {
  const std::string common = " \t\n\r0123456789.-*_\"}{:AZaz";
  std::mt19937 random(11);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<std::size_t> pick(0, common.size() - 1);
  std::bernoulli_distribution any(0.2);
  std::array<unsigned char, 64> window{};
  for (int round = 0; round < 20000; ++round) {
    for (unsigned char& c : window) {
      c = any(random) ? static_cast<unsigned char>(byte(random))
                      : static_cast<unsigned char>(common[pick(random)]);
    }
    expect_same_scans(window.data());
  }
}

}  // namespace
}  // namespace kestrun::flat
