// Reading the input: blocks of bytes from files, pipes and memory, and what
// a failed read keeps.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>

#include "driver/run.h"
#include "io/byte_source.h"
#include "io/read_ahead.h"
#include "test_support.h"

namespace kestrun::testing {
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
  TempDir dir;
  const std::string contents = sample(1'000'003);
  write_file(dir.path() / "in.ase", contents);
  for (const std::size_t block_size : {std::size_t{1000}, std::size_t{4096}, kBlockSize}) {
    const auto source = FileSource::open(dir.file("in.ase"), block_size);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(drain(*source), contents) << block_size;
  }
  write_file(dir.path() / "empty.ase", "");
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
  FileSource source(std::make_unique<DescriptorReader>(ends[0]), 4096, /*read_ahead=*/false);
  EXPECT_EQ(drain(source), contents);
  writer.join();
}

TEST(ReadAhead, StopsWhenDestroyedBeforeTheEnd) {
  TempDir dir;
  write_file(dir.path() / "in.ase", sample(5'000'000));
  DescriptorReader reader(::open(dir.file("in.ase").c_str(), O_RDONLY));
  ReadAhead blocks(reader, 4096, 3);
  EXPECT_EQ(blocks.next_block().size(), 4096U);
}  // Destroyed with most of the file unread: must not hang or leak.

/// Hands out `input` in reads of at most `chunk` bytes and fails once `failing_at` bytes were read.
struct FailingReader final : ByteReader {
  FailingReader(std::string input, std::size_t failing_at, std::size_t chunk)
      : input(std::move(input)), failing_at(failing_at), chunk(chunk) {}
  long read(unsigned char* buffer, std::size_t capacity) override {
    if (done == failing_at) return -1;
    const std::size_t count = std::min({capacity, chunk, failing_at - done});
    std::memcpy(buffer, input.data() + done, count);
    done += count;
    return static_cast<long>(count);
  }
  std::string input;
  std::size_t failing_at, chunk, done = 0;
};

TEST(ByteSource, EveryByteReadBeforeAFailureIsDeliveredThenTheFailure) {
  const std::string contents = sample(1000);
  // Blocks of 100, reads of 30: failures at the start, inside the first block, at and across edges.
  for (const std::size_t failing_at : {0, 1, 57, 99, 100, 101, 230, 999}) {
    for (const bool read_ahead : {false, true}) {
      FileSource source(std::make_unique<FailingReader>(contents, failing_at, 30), 100, read_ahead);
      std::string delivered;
      bool failed = false;
      try {
        for (auto block = source.next_block(); !block.empty(); block = source.next_block()) {
          delivered.append(reinterpret_cast<const char*>(block.data()), block.size());
        }
      } catch (const Error& error) {
        failed = error.code() == ErrorCode::InputRead;
      }
      EXPECT_TRUE(failed) << failing_at << " " << read_ahead << ": the failure is not taken for the end";
      EXPECT_EQ(delivered, contents.substr(0, failing_at)) << failing_at << " " << read_ahead;
    }
  }
}

TEST(ByteSource, AConversionKeepsWhatWasReadBeforeAFailure) {
  const std::string scene =
      "*3DSMAX_ASCIIEXPORT 200\n*GEOMOBJECT {\n*NODE_NAME \"First\"\n}\n*GEOMOBJECT {\n*NODE_NAME "
      "\"Second\"\n}\n";
  const std::size_t second = scene.find("*GEOMOBJECT", 30);
  FileSource input(std::make_unique<FailingReader>(scene, second, 7), 16, /*read_ahead=*/true);
  MemorySink output;
  CapturedConsole console;
  EXPECT_EQ(
      run_conversion(input, output, RunOptions::everything(), {"in.ase", "out.ma"}, console, fixed_time), 1);
  EXPECT_EQ(console.combined(), "Entering Object : First\n" + std::string(kCannotRead));
  EXPECT_EQ(output.contents(),
            expected_header() +
                " createNode transform -n \"First\";\n createNode mesh -n \"FirstShape1\" -p \"First\";\n");
}

}  // namespace
}  // namespace kestrun::testing
