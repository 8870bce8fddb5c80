// Reading the input: blocks of bytes from files, pipes and memory, and the
// characters delivered from them as a line reader would deliver them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>
#include <thread>

#include "ase/byte_source.h"
#include "ase/char_source.h"
#include "ase/read_ahead.h"
#include "test_support.h"

namespace kestrun {
namespace {

/// All the bytes of `source`, using the slack after each block as its users may.
std::string drain(ByteSource& source) {
  std::string bytes;
  for (std::span<unsigned char> block = source.next_block(); !block.empty(); block = source.next_block()) {
    block.data()[block.size() + kBlockSlack - 1] = block.data()[block.size()];
    bytes.append(reinterpret_cast<const char*>(block.data()), block.size());
  }
  EXPECT_TRUE(source.next_block().empty()) << "the end stays the end";
  return bytes;
}

std::string sample(std::size_t size) {
  std::string text(size, ' ');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>(i * 131 % 251);
  return text;
}

TEST(ByteSource, FilesAreReadAheadInOrderWhateverTheBlockSize) {
  testing::TempDir dir;
  const std::string contents = sample(1'000'003);
  testing::write_file(dir.path() / "in.ase", contents);
  for (const std::size_t block_size : {std::size_t{1000}, std::size_t{4096}, kDefaultBlockSize}) {
    const auto source = FileSource::open(dir.file("in.ase"), block_size);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(drain(*source), contents) << block_size;
  }
  testing::write_file(dir.path() / "empty.ase", "");
  EXPECT_EQ(drain(*FileSource::open(dir.file("empty.ase"))), "");
  EXPECT_EQ(FileSource::open(dir.file("missing.ase")), nullptr);
}

TEST(ByteSource, PipesAreReadAsTheBlocksAreAskedFor) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  const std::string contents = sample(300'000);
  std::thread writer([&] {
    for (std::size_t done = 0; done < contents.size();) {
      const ssize_t count =
          ::write(ends[1], contents.data() + done, std::min<std::size_t>(7000, contents.size() - done));
      if (count <= 0) break;
      done += static_cast<std::size_t>(count);
    }
    ::close(ends[1]);
  });
  FileSource source(ends[0], 4096);
  EXPECT_EQ(drain(source), contents);
  writer.join();
}

TEST(ByteSource, MemoryComesInBlocks) {
  const std::string contents = sample(10'000);
  MemorySource source(contents, 999);
  EXPECT_EQ(source.next_block().size(), 999U);
  EXPECT_EQ(drain(source), contents.substr(999));
}

TEST(ReadAhead, AFailedReadIsReportedWhereItHappens) {
  testing::TempDir dir;
  const int directory = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(directory, 0);
  {
    ReadAhead blocks(directory, 4096);
    EXPECT_THROW(blocks.next_block(), IoFailure);
    EXPECT_THROW(blocks.next_block(), IoFailure);
  }
  ::close(directory);
}

TEST(ReadAhead, StopsWhenDestroyedBeforeTheEnd) {
  testing::TempDir dir;
  testing::write_file(dir.path() / "in.ase", sample(5'000'000));
  const int descriptor = ::open(dir.file("in.ase").c_str(), O_RDONLY);
  {
    ReadAhead blocks(descriptor, 4096, 3);
    EXPECT_EQ(blocks.next_block().size(), 4096U);
  }  // Destroyed with most of the file unread: must not hang or leak.
  ::close(descriptor);
}

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

/// The characters of `input`, checking that each block size gives what the
/// line reader gives, and that the end comes once, only after the last character.
std::string characters(const std::string& input) {
  const std::string expected = line_reader_characters(input);
  for (const std::size_t block_size :
       {std::size_t{1}, std::size_t{7}, std::size_t{100}, std::size_t{1023}, kDefaultBlockSize}) {
    MemorySource bytes(input, block_size);
    int end_calls = 0;
    CharSource source(bytes, [&end_calls] { ++end_calls; });
    EXPECT_EQ(source.current_char(), ' ') << "a space stands before the first character";
    std::string delivered;
    for (source.next_char(); source.current_char() != kEndChar; source.next_char()) {
      EXPECT_FALSE(source.end_of_input());
      EXPECT_EQ(end_calls, 0);
      delivered.push_back(static_cast<char>(source.current_char()));
    }
    EXPECT_TRUE(source.end_of_input());
    source.next_char();
    EXPECT_EQ(source.current_char(), kEndChar);
    EXPECT_EQ(end_calls, 1);
    EXPECT_EQ(delivered, expected) << "blocks of " << block_size;
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

/// A source whose reads fail after a first block of "abc".
class FailingSource final : public ByteSource {
 public:
  std::span<unsigned char> next_block() override {
    if (reads_++ > 0) throw IoFailure(ErrorCode::InputRead);
    return {block_, 3};
  }

 private:
  int reads_ = 0;
  unsigned char block_[3 + kBlockSlack] = {'a', 'b', 'c'};
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
