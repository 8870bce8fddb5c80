#include "maya/fixed_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace kestrun {
namespace {

std::string fixed(double value) {
  char buffer[kMaxFixedLength];
  return std::string(buffer, format_fixed(value, buffer));
}

std::string printf_fixed(double value) {
  char buffer[kMaxFixedLength + 8];
  const int length = std::snprintf(buffer, sizeof buffer, "%f", value);
  return std::string(buffer, static_cast<std::size_t>(length));
}

TEST(FormatFixed, MatchesPrintfOnSpecialValues) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const double cases[] = {0.0,
                          -0.0,
                          1e-7,
                          -1e-7,
                          4.9999995e-7,
                          5e-7,
                          -5e-7,
                          0.0000005,
                          0.1234f,
                          300.7f,
                          512.3f,
                          -10.0,
                          0.0078125,  // 7812.5 millionths: a tie, rounds to even
                          0.0234375,  // 23437.5 millionths: a tie, rounds to even (up)
                          std::ldexp(1.0, -149),
                          std::numeric_limits<float>::min(),
                          std::numeric_limits<float>::max(),
                          -std::numeric_limits<float>::max(),
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
                          0.1,
                          2.5e-6};
  for (const double value : cases) {
    EXPECT_EQ(fixed(value), printf_fixed(value)) << "value bits " << std::bit_cast<std::uint64_t>(value);
  }
}

TEST(FormatFixed, MatchesPrintfOnRandomFloatBitPatterns) {
  std::mt19937 random(20261207);
  std::uniform_int_distribution<std::uint32_t> bits;
  for (int i = 0; i < 2'000'000; ++i) {
    const float value = std::bit_cast<float>(bits(random));
    ASSERT_EQ(fixed(value), printf_fixed(value)) << "float bits " << std::bit_cast<std::uint32_t>(value);
  }
}

TEST(FormatFixed, MatchesPrintfOnTypicalSceneValues) {
  // Values as an exporter writes them: four decimals, moderate magnitudes,
  // read through double and narrowed to float.
  std::mt19937 random(7);
  std::uniform_int_distribution<std::int64_t> ten_thousandths(-100'000'000, 100'000'000);
  for (int i = 0; i < 1'000'000; ++i) {
    const float value = static_cast<float>(static_cast<double>(ten_thousandths(random)) / 10000.0);
    ASSERT_EQ(fixed(value), printf_fixed(value));
  }
}

TEST(FormatFixed, MatchesPrintfOnTiesAndNearTies) {
  // A value lies exactly half-way between two millionths when it is an odd
  // multiple of 2^-7; finer binary fractions land on quarters and eighths.
  for (const double step : {0.0078125, 0.00390625, 0.0009765625}) {
    for (int multiple = -100'001; multiple <= 100'001; ++multiple) {
      const float value = static_cast<float>(multiple * step);
      ASSERT_EQ(fixed(value), printf_fixed(value));
      const float above = std::nextafter(value, 1e30f);
      const float below = std::nextafter(value, -1e30f);
      ASSERT_EQ(fixed(above), printf_fixed(above));
      ASSERT_EQ(fixed(below), printf_fixed(below));
    }
  }
}

TEST(FormatFixed, MatchesPrintfOnDoublesThatAreNoFloats) {
  std::mt19937_64 random(11);
  std::uniform_int_distribution<std::uint64_t> bits;
  for (int i = 0; i < 200'000; ++i) {
    const double value = std::bit_cast<double>(bits(random));
    ASSERT_EQ(fixed(value), printf_fixed(value));
  }
}

TEST(FormatInteger, MatchesPrintf) {
  const std::int64_t cases[] = {0,
                                1,
                                -1,
                                9,
                                10,
                                99,
                                100,
                                -100,
                                2147483647,
                                -2147483648LL,
                                std::numeric_limits<std::int64_t>::max(),
                                std::numeric_limits<std::int64_t>::min()};
  for (const std::int64_t value : cases) {
    char buffer[kMaxIntegerLength];
    EXPECT_EQ(std::string(buffer, format_integer(value, buffer)), std::to_string(value));
  }
  std::mt19937_64 random(3);
  for (int i = 0; i < 100'000; ++i) {
    const auto value = static_cast<std::int64_t>(random()) >> (random() % 64);
    char buffer[kMaxIntegerLength];
    ASSERT_EQ(std::string(buffer, format_integer(value, buffer)), std::to_string(value));
  }
}

}  // namespace
}  // namespace kestrun
