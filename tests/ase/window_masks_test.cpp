// The vector classifiers of 64-byte windows give the same masks as the
// classifier that looks at one byte at a time. The tokenizer uses the AVX2
// one where the processor has it, the SSE2 one elsewhere; both are checked
// here whatever the processor (AVX2 only where it runs).
#include "ase/window_masks.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

namespace kestrun {
namespace {

/// Every field of `masks`, for comparisons.
std::array<std::uint64_t, 7> fields(const WindowMasks& masks) {
  return {masks.blank, masks.digit, masks.point, masks.star, masks.alnum, masks.word, masks.barrier};
}

#if defined(KESTRUN_WINDOW_AVX2)
// The classifier is inlined into code built for AVX2, as in the tokenizer.
[[gnu::target("avx2")]] WindowMasks classify_with_avx2(const unsigned char* window) {
  return Avx2Windows::classify(window);
}
#endif

void expect_same_masks(const unsigned char* window) {
  const auto expected = fields(classify_window_bytes(window));
  EXPECT_EQ(fields(Sse2Windows::classify(window)), expected);
#if defined(KESTRUN_WINDOW_AVX2)
  if (processor_has_avx2()) {
    EXPECT_EQ(fields(classify_with_avx2(window)), expected);
  }
#endif
}

TEST(WindowMasks, VectorClassifiersAgreeOnEveryByteValue) {
  // Each byte value at each position: the edges of every range ('/' '0' '9'
  // ':', '@' 'A' 'Z' '[', '`' 'a' 'z' '{', '\b' '\t' '\r' 0x0E) included.
  std::array<unsigned char, kWindow> window{};
  for (int value = 0; value < 256; ++value) {
    for (std::size_t position = 0; position < kWindow; ++position) {
      window.fill('x');
      window[position] = static_cast<unsigned char>(value);
      expect_same_masks(window.data());
    }
  }
}

TEST(WindowMasks, VectorClassifiersAgreeOnRandomWindows) {
  const std::string common = " \t\n\r0123456789.-*_\"}{:AZaz";
  std::mt19937 random(11);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<std::size_t> pick(0, common.size() - 1);
  std::bernoulli_distribution any(0.2);
  std::array<unsigned char, kWindow> window{};
  for (int round = 0; round < 20000; ++round) {
    for (unsigned char& c : window) {
      c = any(random) ? static_cast<unsigned char>(byte(random))
                      : static_cast<unsigned char>(common[pick(random)]);
    }
    expect_same_masks(window.data());
  }
}

}  // namespace
}  // namespace kestrun
