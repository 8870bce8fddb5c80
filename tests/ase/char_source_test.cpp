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
/// delivers: the model CharSource must reproduce.
std::string line_reader_characters(const std::string& input) {
  std::string delivered;
  std::string copy = input;
  FILE* stream = fmemopen(copy.data(), copy.size(), "r");
  if (stream == nullptr) {
    // fmemopen refuses an empty buffer: nothing is delivered then.
    return delivered;
  }
  char line[1024];
  while (std::fgets(line, sizeof line, stream) != nullptr) {
    for (std::size_t i = 0; i < std::strlen(line); ++i) {
      const unsigned char c = static_cast<unsigned char>(line[i]);
      delivered.push_back(
          c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' ? ' ' : static_cast<char>(c));
    }
  }
  std::fclose(stream);
  return delivered;
}

struct Drained {
  std::string characters;
  int end_calls = 0;
};

Drained drain(const std::string& input, std::size_t block_size) {
  MemorySource bytes(input, block_size);
  Drained result;
  CharSource source(bytes, [&result] { ++result.end_calls; });
  for (;;) {
    source.next_char();
    if (source.current_char() == kEndChar) break;
    EXPECT_FALSE(source.end_of_input());
    result.characters.push_back(static_cast<char>(source.current_char()));
  }
  EXPECT_TRUE(source.end_of_input());
  source.next_char();  // Asking again changes nothing and does not print again.
  EXPECT_EQ(source.current_char(), kEndChar);
  return result;
}

void expect_like_line_reader(const std::string& input) {
  const std::string expected = line_reader_characters(input);
  for (const std::size_t block_size : {std::size_t{1}, std::size_t{7}, std::size_t{1023}, std::size_t{1024},
                                       std::size_t{4096}, kDefaultBlockSize}) {
    const Drained drained = drain(input, block_size);
    ASSERT_EQ(drained.characters, expected) << "block size " << block_size;
    ASSERT_EQ(drained.end_calls, 1);
  }
}

TEST(CharSource, FoldsWhitespaceToSpaces) {
  expect_like_line_reader("*MESH_VERTEX\t0\t1.0\r\n\v\f last");
  EXPECT_EQ(drain("a\tb\r\nc\n", 64).characters, "a b  c ");
}

TEST(CharSource, DeliversLastLineWithoutLineFeedAndLongLinesInFull) {
  expect_like_line_reader("first\nlast line without end");
  std::string long_line;
  for (int i = 0; i < 3000; ++i) long_line.push_back(static_cast<char>('a' + i % 26));
  expect_like_line_reader(long_line + "\n" + long_line);
  EXPECT_EQ(drain(long_line, 512).characters, long_line);
}

TEST(CharSource, NulDropsTheRestOfItsPiece) {
  EXPECT_EQ(drain(std::string("ab\0cd\nef\n", 9), 64).characters, "abef ");
  EXPECT_EQ(drain(std::string("\0skipped\nkept", 13), 64).characters, "kept");
  // In a long line the piece ends after 1023 bytes, so what follows is kept.
  std::string line(3000, 'x');
  line[1500] = '\0';
  expect_like_line_reader(line + "\ntail");
  const std::string delivered = drain(line, 100).characters;
  EXPECT_EQ(delivered.size(), 1500U + (3000U - 2046U));
}

TEST(CharSource, ByteAcIsAnOrdinaryCharacter) {
  const Drained drained = drain(
      "a\xAC"
      "b",
      64);
  EXPECT_EQ(drained.characters,
            "a\xAC"
            "b");
}

TEST(CharSource, EndComesOnceWhenTheCharacterAfterTheLastIsAskedFor) {
  MemorySource bytes("ab");
  int end_calls = 0;
  CharSource source(bytes, [&end_calls] { ++end_calls; });
  EXPECT_EQ(source.current_char(), ' ');
  source.next_char();
  source.next_char();
  EXPECT_EQ(source.current_char(), 'b');
  EXPECT_EQ(end_calls, 0);
  EXPECT_FALSE(source.end_of_input());
  source.next_char();
  EXPECT_EQ(end_calls, 1);
  EXPECT_TRUE(source.end_of_input());
  EXPECT_EQ(source.current_char(), kEndChar);
}

TEST(CharSource, EmptyInputEndsAtTheFirstCall) {
  const Drained drained = drain("", 64);
  EXPECT_TRUE(drained.characters.empty());
  EXPECT_EQ(drained.end_calls, 1);
}

TEST(CharSource, MatchesTheLineReaderOnRandomInputs) {
  std::mt19937 random(99);
  const char alphabet[] = {'a', '*', ' ', '\t', '\n', '\r', '\0', '"', '{', '}', '\xAC', '7'};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 1);
  std::uniform_int_distribution<std::size_t> length(0, 5000);
  std::uniform_int_distribution<int> rare(0, 99);
  for (int round = 0; round < 300; ++round) {
    std::string input;
    const std::size_t size = length(random);
    for (std::size_t i = 0; i < size; ++i) {
      // Mostly letters, so that long lines and pieces of 1023 bytes occur.
      input.push_back(rare(random) < 90 ? 'x' : alphabet[pick(random)]);
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
