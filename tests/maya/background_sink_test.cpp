#include "maya/background_sink.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "driver/run_error.h"

namespace kestrun {
namespace {

/// A sink that fails from its n-th write on, or at close.
class FlakySink final : public ByteSink {
 public:
  explicit FlakySink(int failing_write = 0, bool failing_close = false)
      : failing_write_(failing_write), failing_close_(failing_close) {}
  void write(std::string_view bytes) override {
    if (++writes_ >= failing_write_ && failing_write_ != 0) throw IoFailure(ErrorCode::OutputWrite);
    contents += bytes;
  }
  void close() override {
    closed = true;
    if (failing_close_) throw IoFailure(ErrorCode::OutputWrite);
  }
  std::string contents;
  bool closed = false;

 private:
  std::atomic<int> writes_ = 0;
  int failing_write_;
  bool failing_close_;
};

std::string pattern(std::size_t size, int seed) {
  std::string text(size, ' ');
  for (std::size_t i = 0; i < size; ++i)
    text[i] = static_cast<char>('a' + (i * 7 + static_cast<std::size_t>(seed)) % 26);
  return text;
}

TEST(BackgroundSink, DeliversEveryByteInOrder) {
  FlakySink inner;
  std::string expected;
  {
    BackgroundSink sink(inner, /*block_size=*/64, /*blocks=*/3);
    for (int i = 0; i < 2000; ++i) {
      const std::string piece =
          pattern(static_cast<std::size_t>(i % 200), i);  // Smaller and larger than a block.
      sink.write(piece);
      expected += piece;
    }
    sink.close();
  }
  EXPECT_EQ(inner.contents, expected);
  EXPECT_TRUE(inner.closed);
}

TEST(BackgroundSink, WhatWasWrittenBeforeAnEarlyEndIsKept) {
  FlakySink inner;
  {
    BackgroundSink sink(inner, 16);
    sink.write(pattern(1000, 1));
  }  // No close: the run ended with an error of its own.
  EXPECT_EQ(inner.contents, pattern(1000, 1));
  EXPECT_FALSE(inner.closed);
}

TEST(BackgroundSink, AFailedWriteIsReportedByALaterWriteOrByClose) {
  FlakySink inner(/*failing_write=*/3);
  BackgroundSink sink(inner, 16, 2);
  EXPECT_THROW(
      {
        for (int i = 0; i < 1000; ++i) sink.write(pattern(16, i));
      },
      IoFailure);

  FlakySink late(/*failing_write=*/1);
  BackgroundSink one_write(late, 16, 2);
  one_write.write("x");
  EXPECT_THROW(one_write.close(), IoFailure);
}

TEST(BackgroundSink, AFailedCloseIsReported) {
  FlakySink inner(0, /*failing_close=*/true);
  BackgroundSink sink(inner);
  sink.write("data");
  EXPECT_THROW(sink.close(), IoFailure);
  EXPECT_EQ(inner.contents, "data");
}

}  // namespace
}  // namespace kestrun
