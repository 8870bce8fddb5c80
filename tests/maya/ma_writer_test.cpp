// Writing the output: the buffered writer, the background sink behind it,
// and how each reports a failed write or close.
#include "maya/ma_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "maya/background_sink.h"
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

TEST(MaWriter, NothingWrittenIsLostWhenTheWriterIsDestroyedEarly) {
  EXPECT_EQ(
      written_by([](MaWriter& out) { out.print("createNode transform -n \"%s\";\n", QuotedName{"Box01"}); }),
      "createNode transform -n \"Box01\";\n");
}

TEST(MaWriter, WriteFailuresAreReportedAtTheWriteThatFails) {
  FailingSink sink(/*failing_write=*/2);
  MaWriter out(sink, 512);
  EXPECT_THROW(
      {
        for (int i = 0; i < 1000; ++i) out.append("0123456789");
      },
      IoFailure);
}

TEST(MaWriter, FailuresAtTheFinalFlushAndCloseAreReported) {
  for (const bool at_close : {false, true}) {
    FailingSink sink(at_close ? 0 : 1, at_close);
    MaWriter out(sink);
    out.append("header");
    EXPECT_THROW(out.finish(), IoFailure) << at_close;
    EXPECT_EQ(sink.contents, at_close ? "header" : "") << at_close;
  }
}

TEST(MemorySink, RefusesToGrowPastItsLimit) {
  MemorySink sink(10);
  sink.write("0123456789");
  EXPECT_THROW(sink.write("x"), IoFailure);
  EXPECT_EQ(sink.contents(), "0123456789");
}

TEST(BackgroundSink, DeliversEveryByteInOrder) {
  FailingSink inner(0);
  std::string expected;
  {
    BackgroundSink sink(inner, /*block_size=*/64, /*blocks=*/3);
    for (std::size_t i = 0; i < 2000; ++i) {
      const std::string piece = pattern(i % 200, i);  // Smaller and larger than a block.
      sink.write(piece);
      expected += piece;
    }
    sink.close();
  }
  EXPECT_EQ(inner.contents, expected);
  EXPECT_TRUE(inner.closed);
}

TEST(BackgroundSink, WhatWasWrittenBeforeAnEarlyEndIsKept) {
  FailingSink inner(0);
  {
    BackgroundSink sink(inner, 16);
    sink.write(pattern(1000, 1));
  }  // No close: the run ended with an error of its own.
  EXPECT_EQ(inner.contents, pattern(1000, 1));
  EXPECT_FALSE(inner.closed);
}

TEST(BackgroundSink, AFailedWriteOrCloseIsReportedByALaterWriteOrByClose) {
  FailingSink inner(/*failing_write=*/3);
  BackgroundSink sink(inner, 16, 2);
  EXPECT_THROW(
      {
        for (std::size_t i = 0; i < 1000; ++i) sink.write(pattern(16, i));
      },
      IoFailure);
  for (const bool at_close : {false, true}) {
    FailingSink late(at_close ? 0 : 1, at_close);
    BackgroundSink one_write(late, 16, 2);
    one_write.write("data");
    EXPECT_THROW(one_write.close(), IoFailure) << at_close;
    EXPECT_EQ(late.contents, at_close ? "data" : "") << at_close;
  }
}

}  // namespace
}  // namespace kestrun::testing
