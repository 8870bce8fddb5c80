#include "maya/fixed_format.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>

namespace kestrun {
namespace {

/// Fails if format_fixed and printf("%f") differ on `value`.
void expect_printf(double value) {
  char ours[kMaxFixedLength];
  char theirs[kMaxFixedLength + 8];
  const std::string written(ours, format_fixed(value, ours));
  const int length = std::snprintf(theirs, sizeof theirs, "%f", value);
  ASSERT_EQ(written, std::string(theirs, static_cast<std::size_t>(length)))
      << std::bit_cast<std::uint64_t>(value);
}

TEST(FormatFixed, MatchesPrintfOnSpecialValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const double value : std::initializer_list<double>{0.0,
                                                          -0.0,
                                                          1e-7,
                                                          -1e-7,
                                                          5e-7,
                                                          0.1234f,
                                                          300.7f,
                                                          512.3f,
                                                          0.0078125,
                                                          0.0234375,
                                                          std::ldexp(1.0, -149),
                                                          std::numeric_limits<float>::max(),
                                                          999999999999.0f,
                                                          1e12f,
                                                          1.5e30f,
                                                          -3.4e38f,
                                                          inf,
                                                          -inf,
                                                          nan,
                                                          -nan,
                                                          std::numeric_limits<double>::max(),
                                                          std::numeric_limits<double>::denorm_min(),
                                                          0.1}) {
    expect_printf(value);
  }
}

TEST(FormatFixed, MatchesPrintfOnEveryKindOfFloat) {
  std::mt19937 random(20261207);
  for (int i = 0; i < 2'000'000; ++i) {
    expect_printf(std::bit_cast<float>(static_cast<std::uint32_t>(random())));  // Any bit pattern.
  }
  std::uniform_int_distribution<std::int64_t> ten_thousandths(-100'000'000, 100'000'000);
  for (int i = 0; i < 500'000; ++i) {
    expect_printf(
        static_cast<float>(static_cast<double>(ten_thousandths(random)) / 10000.0));  // As exported.
  }
  // Half-way between two millionths lies every odd multiple of 2^-7; finer
  // binary fractions land on quarters and eighths; their neighbours too.
  for (const double step : {0.0078125, 0.00390625, 0.0009765625}) {
    for (int multiple = -100'001; multiple <= 100'001; ++multiple) {
      const auto value = static_cast<float>(multiple * step);
      expect_printf(value);
      expect_printf(std::nextafter(value, 1e30f));
      expect_printf(std::nextafter(value, -1e30f));
    }
  }
}

TEST(FormatFixed, MatchesPrintfOnDoublesThatAreNoFloats) {
  std::mt19937_64 random(11);
  for (int i = 0; i < 200'000; ++i) expect_printf(std::bit_cast<double>(random()));
}

TEST(FormatInteger, MatchesPrintf) {
  std::mt19937_64 random(3);
  for (int i = 0; i < 100'000; ++i) {
    const auto value = i < 4 ? std::array<std::int64_t, 4>{0, -1, std::numeric_limits<std::int64_t>::max(),
                                                           std::numeric_limits<std::int64_t>::min()}[i]
                             : static_cast<std::int64_t>(random()) >> (random() % 64);
    char buffer[kMaxIntegerLength];
    ASSERT_EQ(std::string(buffer, format_integer(value, buffer)), std::to_string(value));
  }
}

}  // namespace
}  // namespace kestrun
