#include "ase/byte_source.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "ase/read_ahead.h"
#include "driver/run_error.h"
#include "test_support.h"

namespace kestrun {
namespace {

std::string drain(ByteSource& source) {
  std::string bytes;
  for (std::span<unsigned char> block = source.next_block(); !block.empty(); block = source.next_block()) {
    block.data()[block.size() + kBlockSlack - 1] = block.data()[block.size()];  // The slack may be used.
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
    std::size_t done = 0;
    while (done < contents.size()) {
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
  EXPECT_EQ(drain(source).size(), contents.size() - 999);
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

}  // namespace
}  // namespace kestrun
