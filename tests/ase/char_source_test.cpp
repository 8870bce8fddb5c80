#include "ase/char_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "ase/byte_source.h"
#include "driver/run_error.h"

namespace kestrun {
namespace {

/// What a reader taking one line at a time with fgets into 1024 bytes
/// delivers, whitespace folded: the model the character source reproduces.
std::string line_reader_characters(std::string input) {
  std::string delivered;
  FILE* stream = fmemopen(input.data(), input.size(), "r");
  if (stream == nullptr) return delivered;  // fmemopen refuses an empty buffer.
  char line[1024];
  while (std::fgets(line, sizeof line, stream) != nullptr) {
    for (const char* c = line; *c != '\0'; ++c) {
      delivered.push_back(*c == ' ' || (*c >= '\t' && *c <= '\r') ? ' ' : *c);
    }
  }
  std::fclose(stream);
  return delivered;
}

/// All characters of `input` read in blocks of `block_size`, checking that
/// the end comes once, and only after the last character.
std::string drain(const std::string& input, std::size_t block_size) {
  MemorySource bytes(input, block_size);
  int end_calls = 0;
  CharSource source(bytes, [&end_calls] { ++end_calls; });
  EXPECT_EQ(source.current_char(), ' ') << "a space stands before the first character";
  std::string characters;
  for (source.next_char(); source.current_char() != kEndChar; source.next_char()) {
    EXPECT_FALSE(source.end_of_input());
    EXPECT_EQ(end_calls, 0);
    characters.push_back(static_cast<char>(source.current_char()));
  }
  EXPECT_TRUE(source.end_of_input());
  source.next_char();
  EXPECT_EQ(source.current_char(), kEndChar);
  EXPECT_EQ(end_calls, 1);
  return characters;
}

void expect_like_line_reader(const std::string& input) {
  const std::string expected = line_reader_characters(input);
  for (const std::size_t block_size :
       {std::size_t{1}, std::size_t{7}, std::size_t{1023}, kDefaultBlockSize}) {
    ASSERT_EQ(drain(input, block_size), expected) << "block size " << block_size;
  }
}

TEST(CharSource, DeliversWhatALineReaderDelivers) {
  EXPECT_EQ(drain("a\tb\r\nc\v\fd\n", 64), "a b  c  d ");
  EXPECT_EQ(drain(std::string("ab\0cd\nef\n", 9), 64), "abef ") << "a NUL drops the rest of its line";
  EXPECT_EQ(drain(std::string("\0skipped\nkept", 13), 64), "kept");
  EXPECT_EQ(drain("a\xAC"
                  "b",
                  64),
            "a\xAC"
            "b")
      << "0xAC is an ordinary character";
  EXPECT_EQ(drain("", 64), "");
  std::string long_line(3000, 'x');
  long_line[1500] = '\0';  // Pieces of 1023 bytes: the NUL drops bytes 1500 to 2045 only.
  EXPECT_EQ(drain(long_line, 100).size(), 1500U + (3000U - 2046U));
  expect_like_line_reader(long_line + "\ntail without a line feed");
}

TEST(CharSource, MatchesTheLineReaderOnRandomInputs) {
  std::mt19937 random(99);
  const char rare[] = {'*', ' ', '\t', '\n', '\r', '\0', '"', '{', '}', '\xAC', '7'};
  for (int round = 0; round < 300; ++round) {
    std::string input;
    for (std::size_t i = random() % 5000; i > 0; --i) {
      // Mostly letters, so that long lines and pieces of 1023 bytes occur.
      input.push_back(random() % 10 != 0 ? 'x' : rare[random() % sizeof rare]);
    }
    expect_like_line_reader(input);
  }
}

/// A source whose reads fail after the first block.
class FailingSource final : public ByteSource {
 public:
  std::span<unsigned char> next_block() override {
    if (reads_++ > 0) throw IoFailure(ErrorCode::InputRead);
    std::memcpy(block_, "abc", 3);
    return {block_, 3};
  }

 private:
  int reads_ = 0;
  unsigned char block_[3 + kBlockSlack] = {};
};

TEST(CharSource, ReadFailuresAreNotTakenForTheEnd) {
  FailingSource bytes;
  bool ended = false;
  CharSource source(bytes, [&ended] { ended = true; });
  for (int i = 0; i < 3; ++i) source.next_char();
  EXPECT_THROW(source.next_char(), IoFailure);
  EXPECT_FALSE(ended);
  EXPECT_FALSE(source.end_of_input());
}

}  // namespace
}  // namespace kestrun
