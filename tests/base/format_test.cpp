// Text formatting for the output: printf's conversions, written without printf.
#include "base/format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "base/console.h"
#include "base/fixed_format.h"
#include "base/warnings.h"

namespace kestrun {
namespace {

TEST(Format, RendersConversionsInOrderWithLiteralTextBetween) {
  EXPECT_EQ(format_string(" %s%d %s%d%s", "setAttr -s ", 3, "\".vt[0:", 2, "]\"\n"),
            " setAttr -s 3 \".vt[0:2]\"\n");
  EXPECT_EQ(format_string("                 %f %f %f\n", -10.0f, 0.1234f, 7.0f),
            "                 -10.000000 0.123400 7.000000\n");
  EXPECT_EQ(format_string("no conversions\n"), "no conversions\n");
  EXPECT_EQ(format_string("%d%d%d", 1, -2, std::int64_t{6'000'000'000}), "1-26000000000");
  EXPECT_EQ(format_string("-%c\n", 'x'), "-x\n");
  EXPECT_EQ(format_string("-%c\n", std::string_view()), "-\n");
  // Widths pad integers as printf does.
  EXPECT_EQ(format_string("%2d:%2d:%2d:", 7, 12, 123), " 7:12:123:");
  EXPECT_EQ(format_string("%4d %4d %4d ", 2001, 99, -5), "2001   99   -5 ");
}

/// Fails if format_fixed and printf("%f") differ on `value`. A value that is not finite, which no
/// Maya file may hold, is printf's text of the largest float of its sign (an infinity) or of 0
/// (NaN), and is counted.
void expect_printf(double value) {
  char ours[kMaxFixedLength];
  char theirs[kMaxFixedLength + 8];
  const double written = std::isnan(value)   ? 0.0
                         : std::isinf(value) ? std::copysign(double{std::numeric_limits<float>::max()}, value)
                                             : value;
  const int length = std::snprintf(theirs, sizeof theirs, "%f", written);
  std::size_t replaced = 0;
  ASSERT_EQ(std::string(ours, format_fixed(value, ours, &replaced)),
            std::string(theirs, static_cast<std::size_t>(length)))
      << std::bit_cast<std::uint64_t>(value);
  ASSERT_EQ(replaced, std::isfinite(value) ? 0U : 1U) << value;
  // Below 10^12, a float's trimmed form is the same text without its trailing zeros, and 0 for zero.
  if (std::fabs(written) < 1e12 && static_cast<double>(static_cast<float>(written)) == written) {
    std::string trimmed(theirs, static_cast<std::size_t>(length));
    trimmed.erase(trimmed.find_last_not_of('0') + 1);
    if (trimmed.back() == '.') trimmed.pop_back();
    if (trimmed == "-0") trimmed = "0";
    ASSERT_EQ(std::string(ours, format_trimmed(value, ours)), trimmed) << std::bit_cast<std::uint64_t>(value);
  }
}

TEST(FormatFixed, NeverWritesInfinityOrNaNAndCountsWhatItWritesInstead) {
  using limits = std::numeric_limits<double>;
  const std::string largest = "340282346638528859811704183484516925440";
  const std::tuple<double, std::string, std::string> cases[] = {
      {limits::infinity(), largest + ".000000", "3.4028234663852886e+38"},
      {-limits::infinity(), "-" + largest + ".000000", "-3.4028234663852886e+38"},
      {limits::quiet_NaN(), "0.000000", "0"},
      {-limits::quiet_NaN(), "0.000000", "0"}};
  for (const auto& [value, fixed, trimmed] : cases) {
    EXPECT_EQ(format_string("%f", value), fixed);
    EXPECT_EQ(format_string("%r", value), trimmed);
    std::string text;
    std::size_t tally = 0;
    struct Counting : StringOutput {
      Counting(std::string& text, std::size_t& tally) : StringOutput(text), tally(tally) {}
      std::size_t* non_finite_tally() { return &tally; }
      std::size_t& tally;
    } out(text, tally);
    format_text_to<"%f %r %f\n">(out, value, value, 1.5);
    EXPECT_EQ(text, fixed + " " + trimmed + " 1.500000\n");
    EXPECT_EQ(tally, 2U);
  }
}

TEST(FormatFixed, MatchesPrintfOnSpecialValues) {
  using limits = std::numeric_limits<double>;
  for (const double value : {0.0,
                             -0.0,
                             1e-7,
                             -1e-7,
                             5e-7,
                             double{0.1234f},
                             double{300.7f},
                             double{512.3f},
                             0.0078125,
                             0.0234375,
                             std::ldexp(1.0, -149),
                             double{std::numeric_limits<float>::max()},
                             double{999999999999.0f},
                             double{1e12f},
                             double{1.5e30f},
                             double{-3.4e38f},
                             limits::infinity(),
                             -limits::infinity(),
                             limits::quiet_NaN(),
                             -limits::quiet_NaN(),
                             limits::max(),
                             limits::denorm_min(),
                             0.1}) {
    expect_printf(value);
  }
}

TEST(FormatFixed, MatchesPrintfOnEveryKindOfFloatAndDouble) {
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
  std::mt19937_64 random64(11);
  for (int i = 0; i < 200'000; ++i) expect_printf(std::bit_cast<double>(random64()));
}

TEST(FormatTrimmed, SixDecimalsWithoutTrailingZerosAndNoNegativeZero) {
  // Values as callers hand them: floats.
  const std::pair<float, const char*> cases[] = {
      {0.5F, "0.5"}, {-12.0F, "-12"},       {0.0F, "0"},     {-0.0F, "0"},  {-1e-7F, "0"},
      {-5e-7F, "0"}, {-6e-7F, "-0.000001"}, {1.25F, "1.25"}, {0.1F, "0.1"}, {123456.5F, "123456.5"}};
  for (const auto& [value, text] : cases) {
    char buffer[kMaxFixedLength];
    EXPECT_EQ(std::string(buffer, format_trimmed(value, buffer)), text) << value;
  }
}

TEST(FormatInteger, MatchesPrintf) {
  const auto expect_text = [](std::int64_t value) {
    char buffer[kMaxIntegerLength];
    ASSERT_EQ(std::string(buffer, format_integer(value, buffer)), std::to_string(value));
  };
  // Values below 10^8 are written eight digits at once, the leading zeros
  // shifted away: every count of digits, and each value up to 2,000,000.
  for (std::int64_t value = -1000; value <= 2'000'000; ++value) expect_text(value);
  std::int64_t power = 1;
  for (int exponent = 1; exponent <= 18; ++exponent) {
    power *= 10;
    for (std::int64_t near = -2; near <= 2; ++near) {
      expect_text(power + near);
      expect_text(-(power + near));
    }
  }
  for (const std::int64_t extreme :
       {std::int64_t{0}, std::int64_t{-1}, std::numeric_limits<std::int64_t>::max(),
        std::numeric_limits<std::int64_t>::min()}) {
    expect_text(extreme);
  }
  std::mt19937_64 random(3);
  for (int i = 0; i < 100'000; ++i) expect_text(static_cast<std::int64_t>(random()) >> (random() % 64));
}

TEST(ShownName, EscapesEveryControlCharacterAndNothingElse) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"Box01", "Box01"},
      {"a\x1b[31mb\a", "a\\x1b[31mb\\x07"},
      {"line\r\nWarning: forged", "line\\x0d\\x0aWarning: forged"},
      {std::string_view("nul\0tab\t", 8), "nul\\x00tab\\x09"},
      {"del\x7f", "del\\x7f"},
      {"csi\xc2\x9b"
       "31m \xc2\x80\xc2\x9f",
       "csi\\xc2\\x9b"
       "31m \\xc2\\x80\\xc2\\x9f"},
      // Not controls: no-break space, Latin-1 bytes, a lone lead byte, text that looks escaped.
      {"\xc2\xa0 Caf\xe9 \xc2", "\xc2\xa0 Caf\xe9 \xc2"},
      {"\\x1b", "\\x1b"}};
  const auto in_quotes = [](std::string_view text) {
    return std::string(1, '"').append(text).append(1, '"');
  };
  for (const auto& [name, shown] : cases) {
    EXPECT_EQ(format_string("%s", ShownName{name}), shown);
    EXPECT_EQ(quoted_name(name), in_quotes(shown));
  }
  // A long name is cut after 80 bytes of its own, then shown.
  EXPECT_EQ(quoted_name(std::string(79, 'n') + "\n\n"), in_quotes(std::string(79, 'n') + "\\x0a..."));
}

}  // namespace
}  // namespace kestrun
