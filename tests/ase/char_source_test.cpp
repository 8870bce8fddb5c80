// The characters the tokenizer is given, as a reader taking one line at a
// time would deliver them.
#include "ase/char_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "base/error.h"
#include "test_support.h"

namespace kestrun::flat {
namespace {

using testing::line_reader_characters;

/// The characters `bytes` delivers, checking that the end comes once, only after the last one.
std::string delivered_by(ByteSource& bytes) {
  int end_calls = 0;
  CharSource source(bytes, [&end_calls] { ++end_calls; });
  EXPECT_EQ(*source.position(), ' ') << "a space stands before the first character";
  std::string delivered;
  for (source.advance_to(source.position() + 1); !source.end_of_input();
       source.advance_to(source.position() + 1)) {
    EXPECT_EQ(end_calls, 0);
    delivered.push_back(static_cast<char>(CharSource::fold(*source.position())));
  }
  EXPECT_EQ(end_calls, 1);
  return delivered;
}

/// What the line reader gives for `input`, checking that each block size delivers it, from
/// memory and from a file read ahead, with and without the read-ahead's search for NUL bytes.
std::string characters(const std::string& input) {
  const std::string expected = line_reader_characters(input);
  testing::TempDir dir;
  testing::write_file(dir.path() / "in.ase", input);
  for (const std::size_t block_size :
       {std::size_t{1}, std::size_t{7}, std::size_t{100}, std::size_t{1023}, kBlockSize}) {
    MemorySource bytes(input, block_size);
    EXPECT_EQ(delivered_by(bytes), expected) << "blocks of " << block_size;
    if (block_size < 100) continue;  // A thread handing over single bytes is slow to test.
    for (const bool scan_for_nul : {false, true}) {
      const auto file = FileSource::open(dir.file("in.ase"), block_size, scan_for_nul);
      EXPECT_EQ(delivered_by(*file), expected) << "file blocks of " << block_size << ", " << scan_for_nul;
    }
  }
  return expected;
}

TEST(CharSource, DeliversWhatALineReaderDelivers) {
  using namespace std::string_literals;
  EXPECT_EQ(characters("a\tb\r\nc\v\fd\n"), "a b  c  d ");
  EXPECT_EQ(characters("ab\0cd\nef\n"s), "abef ") << "a NUL drops the rest of its line";
  EXPECT_EQ(characters("\0skipped\nkept"s), "kept");
  EXPECT_EQ(characters("a\254b"), "a\254b") << "0xAC is an ordinary character";
  EXPECT_EQ(characters(""), "");
  std::string long_line(3000, 'x');
  long_line[1500] = '\0';  // Pieces of 1023 bytes: the NUL drops bytes 1500 to 2045 only.
  EXPECT_EQ(characters(long_line).size(), 1500U + (3000U - 2046U));
  characters(long_line + "\ntail without a line feed");
}

TEST(CharSource, MatchesTheLineReaderOnRandomInputs) {
  std::mt19937 random(99);
  const char rare[] = {'*', ' ', '\t', '\n', '\r', '\0', '"', '{', '}', '\xAC', '7'};
  for (int round = 0; round < 300 && !HasFailure(); ++round) {
    std::string input;
    for (std::size_t i = random() % 5000; i > 0; --i) {
      // Mostly letters, so that long lines and pieces of 1023 bytes occur.
      input.push_back(random() % 10 != 0 ? 'x' : rare[random() % sizeof rare]);
    }
    characters(input);
  }
}

TEST(CharSource, ReadFailuresAreNotTakenForTheEnd) {
  struct FailingSource final : ByteSource {  // Fails after a first block of "abc".
    std::span<unsigned char> next_block() override {
      if (reads++ > 0) throw Error(ErrorCode::InputRead);
      return {block, 3};
    }
    int reads = 0;
    unsigned char block[3 + kBlockSlack] = {'a', 'b', 'c'};
  } bytes;
  bool ended = false;
  CharSource source(bytes, [&ended] { ended = true; });
  for (int i = 0; i < 3; ++i) source.advance_to(source.position() + 1);
  EXPECT_THROW(source.advance_to(source.position() + 1), Error);
  EXPECT_FALSE(ended);
  EXPECT_FALSE(source.end_of_input());
}

}  // namespace
}  // namespace kestrun::flat
