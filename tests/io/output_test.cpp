// Writing the output: the buffered writer, the background sink behind it,
// and how each reports a failed write or close.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "flat/flat_mesh_writer.h"
#include "io/background_sink.h"
#include "maya/ma_writer.h"
#include "test_support.h"

namespace kestrun::testing {
namespace {

std::string pattern(std::size_t size, std::size_t seed) {
  std::string text(size, ' ');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + (i * 7 + seed) % 26);
  return text;
}

TEST(MaWriter, OutputIsTheSameWhateverTheBufferSize) {
  const auto write = [](MaWriter& out) {
    for (int i = 0; i < 500; ++i) {
      out.print("                 %f %f %f\n", i * 0.25f, -i * 1.5f, 1e20f);
      out.append(std::string(static_cast<std::size_t>(i % 700), 'x'));
    }
    out.finish();
  };
  const std::string expected = written_by(write);
  ASSERT_GT(expected.size(), 100'000U);
  for (const std::size_t buffer_size : {512, 1000}) {
    EXPECT_EQ(written_by(write, buffer_size), expected) << buffer_size;
  }
}

TEST(MaWriter, NamesAreEscapedForWhereTheyStand) {
  // In quotes every backslash is doubled; in a comment line ends become spaces.
  const auto written = [](auto name) { return written_by([&](MaWriter& out) { out.print("[%s]", name); }); };
  EXPECT_EQ(written(QuotedName{"a\\"}), "[a\\\\]");
  EXPECT_EQ(written(QuotedName{"\\x\\\\y"}), "[\\\\x\\\\\\\\y]");
  EXPECT_EQ(written(QuotedName{"\"quote\" stays"}), "[\"quote\" stays]");
  EXPECT_EQ(written(CommentText{"a\nb\r\nc.ma"}), "[a b  c.ma]");
  EXPECT_EQ(written(CommentText{"dir\\x.ma"}), "[dir\\x.ma]");
}

TEST(MaWriter, FailuresAtAWriteTheFinalFlushOrCloseAreReported) {
  FailingSink early(/*failing_write=*/2);
  MaWriter out(early, 512);
  EXPECT_THROW(
      {
        for (int i = 0; i < 1000; ++i) out.append("0123456789");
      },
      Error);
  for (const bool at_close : {false, true}) {
    FailingSink sink(at_close ? 0 : 1, at_close);
    MaWriter last(sink);
    last.append("header");
    EXPECT_THROW(last.finish(), Error) << at_close;
    EXPECT_EQ(sink.contents, at_close ? "header" : "") << at_close;
  }
}

TEST(MemorySink, RefusesToGrowPastItsLimit) {
  MemorySink sink(10);
  sink.write("0123456789");
  EXPECT_THROW(sink.write("x"), Error);
  EXPECT_EQ(sink.contents(), "0123456789");
}

TEST(MeshWriter, EdgeCountsBeyond32BitsDoNotWrap) {
  FailingSink sink(/*failing_write=*/2);  // Keeps the first bytes written.
  MaWriter out(sink, 512);
  EXPECT_THROW(flat::write_edges_and_faces(out, 2'000'000'000, {}), Error);
  EXPECT_EQ(sink.contents.substr(0, sink.contents.find('\n')),
            " setAttr -s 6000000000 \".ed[0:5999999999]\"");
}

TEST(BackgroundSink, DeliversEveryByteInOrderAndKeepsItAfterAnEarlyEnd) {
  for (const bool closed : {true, false}) {
    FailingSink inner(0);
    std::string expected;
    {
      BackgroundSink sink(inner, /*block_size=*/64, /*blocks=*/3);
      for (std::size_t i = 0; i < 2000; ++i) {
        const std::string piece = pattern(i % 200, i);  // Smaller and larger than a block.
        sink.write(piece);
        expected += piece;
      }
      if (closed) sink.close();  // Without close: a run that ended with an error of its own.
    }
    EXPECT_EQ(inner.contents, expected);
    EXPECT_EQ(inner.closed, closed);
  }
}

/// A sink that fails from its n-th write on and takes a random while over each.
struct SlowFailingSink final : ByteSink {
  SlowFailingSink(int failing_write, unsigned seed) : failing_write(failing_write), random(seed) {}
  void write(std::string_view) override {
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 300));
    if (++writes >= failing_write) throw Error(ErrorCode::OutputWrite);
  }
  int failing_write, writes = 0;
  std::mt19937 random;
};

TEST(BackgroundSink, AFailedWriteIsReportedAtTheSamePlaceWhateverTheTiming) {
  // Block k is written (or fails) on the other thread; its failure surfaces
  // when its place in the ring of 4 is taken again: at block k + 4.
  constexpr int kFailingWrite = 3;
  std::set<int> failed_at;
  for (unsigned run = 0; run < 40; ++run) {
    SlowFailingSink inner(kFailingWrite, run);
    BackgroundSink sink(inner, 16, 4);
    int block = 0;
    try {
      for (; block < 100; ++block) sink.write(pattern(16, static_cast<std::size_t>(block)));
    } catch (const Error&) {
      failed_at.insert(block);
    }
  }
  EXPECT_EQ(failed_at, std::set<int>{kFailingWrite - 1 + 4});
}

TEST(BackgroundSink, AFailureOfTheLastWritesOrOfCloseIsReportedByClose) {
  for (const bool at_close : {false, true}) {
    FailingSink late(at_close ? 0 : 1, at_close);
    BackgroundSink one_write(late, 16, 2);
    one_write.write("data");
    EXPECT_THROW(one_write.close(), Error) << at_close;
    EXPECT_EQ(late.contents, at_close ? "data" : "") << at_close;
  }
}

}  // namespace
}  // namespace kestrun::testing
