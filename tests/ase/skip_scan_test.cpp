// The vector scan of the tokenizer's fast passes gives the same bits as the
// scan that looks at one byte at a time.
#include "ase/skip_scan.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <utility>

namespace kestrun::flat {
namespace {

/// The events of the 32 bytes at `q` and whether a point is among them.
template <class Events>
std::pair<std::uint32_t, bool> scanned(Events events, const unsigned char* q, bool braces) {
  bool points = false;
  const std::uint32_t found = events(q, braces, points);
  return {found, points};
}

/// The byte-at-a-time scan, the SSE2 scan where built and the scan the tokenizer calls agree.
void expect_same_scans(const unsigned char* q) {
  for (const bool braces : {false, true}) {
    const auto expected = scanned(skip_events_bytes, q, braces);
#if defined(__SSE2__)
    EXPECT_EQ(scanned(skip_events_sse2, q, braces), expected);
#endif
    EXPECT_EQ(scanned(skip_events, q, braces), expected);
  }
}

TEST(SkipScan, VectorScansAgreeOnEveryByteValueAtEveryPlace) {
  // Every byte value, the bytes from 0x80 up among them, at every place.
  std::array<unsigned char, 32> window{};
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
  std::array<unsigned char, 32> window{};
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
