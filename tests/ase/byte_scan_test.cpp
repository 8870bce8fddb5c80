#include "ase/byte_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace kestrun {
namespace {

/// `text` followed by enough padding to be read 16 bytes at a time.
std::string padded(std::string text) { return text.append(32, '\0'); }

const unsigned char* bytes(const std::string& text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}

TEST(ByteScan, CountsRunsOfDigits) {
  EXPECT_EQ(count_digits16(bytes(padded("0123456789/:"))), 10U);
  EXPECT_EQ(count_digits16(bytes(padded(std::string(20, '7')))), 16U);
  EXPECT_EQ(count_digits16(bytes(padded("-1"))), 0U);
  for (int byte = 0; byte < 256; ++byte) {
    const std::string one = padded(std::string(1, static_cast<char>(byte)));
    EXPECT_EQ(count_digits16(bytes(one)), byte >= '0' && byte <= '9' ? 1U : 0U) << byte;
  }
}

TEST(ByteScan, ParsesOneToEightDigitsWhateverFollows) {
  std::mt19937 random(3);
  for (int round = 0; round < 200000; ++round) {
    const unsigned count = 1 + static_cast<unsigned>(random() % 8);
    std::string text;
    std::uint32_t expected = 0;
    for (unsigned i = 0; i < count; ++i) {
      const unsigned digit = static_cast<unsigned>(random() % 10);
      text.push_back(static_cast<char>('0' + digit));
      expected = expected * 10 + digit;
    }
    for (unsigned i = count; i < 8; ++i) text.push_back(static_cast<char>(random() % 256));
    ASSERT_EQ(parse_digits8(bytes(text), count), expected) << text.substr(0, count);
  }
  EXPECT_EQ(parse_digits8(bytes(std::string("99999999")), 8), 99999999U);
  EXPECT_EQ(parse_digits8(bytes(std::string("00000001")), 8), 1U);
}

}  // namespace
}  // namespace kestrun
