#include "gen/out_buffer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "gen/random.h"

namespace kestrun::scenegen {
namespace {

// Runs `write` on a buffer backed by a temporary file and returns the file's
// bytes. The file is named after the test, as CTest runs tests side by side.
std::string written(const std::function<void(OutBuffer&)>& write, bool crlf = false) {
  const std::string path = ::testing::TempDir() + "out_buffer_" +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
  OutBuffer out = OutBuffer::to_file(path, crlf);
  write(out);
  out.finish();
  std::ifstream file(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::remove(path.c_str());
  return bytes;
}

std::string printf_style(const char* format, auto value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

TEST(OutBuffer, FixedMatchesPrintfFourDecimals) {
  Random random(11);
  for (int i = 0; i < 2000; ++i) {
    const std::int64_t units =
        i < 1000 ? random.uniform(-20000, 20000) : random.uniform(-10'000'000'000, 10'000'000'000);
    const std::string text = written([&](OutBuffer& out) { out.fixed4(units); });
    EXPECT_EQ(text, printf_style("%.4f", static_cast<double>(units) / 10000.0)) << units;
  }
}

TEST(OutBuffer, RoundedMatchesPrintfIncludingNegativeZero) {
  Random random(12);
  for (int i = 0; i < 2000; ++i) {
    const double value = static_cast<double>(random.uniform(-3'000'000, 3'000'000)) / 1'000'000.0;
    const std::string text = written([&](OutBuffer& out) { out.fixed4_rounded(value); });
    EXPECT_EQ(text, printf_style("%.4f", value)) << value;
  }
  EXPECT_EQ(written([](OutBuffer& out) { out.fixed4_rounded(-0.00001); }), "-0.0000");
  // 1/32 and 3/32 lie exactly halfway between two four-decimal values.
  EXPECT_EQ(written([](OutBuffer& out) { out.fixed4_rounded(0.03125); }), printf_style("%.4f", 0.03125));
  EXPECT_EQ(written([](OutBuffer& out) { out.fixed4_rounded(-0.09375); }), printf_style("%.4f", -0.09375));
  EXPECT_EQ(written([](OutBuffer& out) { out.fixed4_rounded(-0.0); }), printf_style("%.4f", -0.0));
}

TEST(OutBuffer, PaddedAndPlainIntegersMatchPrintf) {
  Random random(13);
  for (int i = 0; i < 500; ++i) {
    const std::int64_t value = random.uniform(-200'000, 2'000'000) / (i % 7 == 0 ? 10'000 : 1);
    EXPECT_EQ(written([&](OutBuffer& out) { out.padded(value, 4); }),
              printf_style("%4lld", static_cast<long long>(value)));
    EXPECT_EQ(written([&](OutBuffer& out) { out.integer(value); }),
              printf_style("%lld", static_cast<long long>(value)));
  }
  EXPECT_EQ(written([](OutBuffer& out) { out.natural(UINT64_MAX); }), printf_style("%llu", ~0ULL));
}

TEST(OutBuffer, LineEndsFollowTheChoice) {
  const auto two_lines = [](OutBuffer& out) {
    out.text("a");
    out.end_line();
    out.tabs(2);
    out.put('b');
    out.end_line();
  };
  EXPECT_EQ(written(two_lines), "a\n\t\tb\n");
  EXPECT_EQ(written(two_lines, true), "a\r\n\t\tb\r\n");
}

TEST(OutBuffer, TextLongerThanTheBufferArrivesWhole) {
  std::string big(3 * (1 << 20) + 17, 'x');
  for (std::size_t i = 0; i < big.size(); i += 4099) big[i] = static_cast<char>('a' + i % 26);
  const std::string text = written([&](OutBuffer& out) {
    out.put('<');
    out.text(big);
    out.put('>');
  });
  EXPECT_EQ(text, "<" + big + ">");
}

TEST(OutBuffer, CountingSizeEqualsWrittenSize) {
  const auto lines = [](OutBuffer& out) {
    for (int i = 0; i < 300'000; ++i) {
      out.text("\t*MESH_VERTEX ");
      out.padded(i, 4);
      out.put('\t');
      out.fixed4(-i * 7);
      out.end_line();
    }
  };
  OutBuffer counter = OutBuffer::counting(true);
  lines(counter);
  EXPECT_EQ(counter.size(), written(lines, true).size());
}

TEST(OutBuffer, UnwritablePathThrows) {
  EXPECT_THROW(OutBuffer::to_file(::testing::TempDir() + "no/such/dir/file.ase", false), std::runtime_error);
}

}  // namespace
}  // namespace kestrun::scenegen
