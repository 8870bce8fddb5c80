#include "maya/ma_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "driver/run_error.h"
#include "maya/byte_sink.h"

namespace kestrun {
namespace {

/// A sink that fails on its n-th write, or on close.
class FailingSink final : public ByteSink {
 public:
  explicit FailingSink(int fail_on_write, bool fail_on_close = false)
      : fail_on_write_(fail_on_write), fail_on_close_(fail_on_close) {}
  void write(std::string_view bytes) override {
    if (++writes_ == fail_on_write_) throw IoFailure(ErrorCode::OutputWrite);
    contents += bytes;
  }
  void close() override {
    if (fail_on_close_) throw IoFailure(ErrorCode::OutputWrite);
  }
  std::string contents;

 private:
  int writes_ = 0;
  int fail_on_write_;
  bool fail_on_close_;
};

TEST(MaWriter, OutputIsTheSameWhateverTheBufferSize) {
  std::string expected;
  for (const std::size_t buffer_size : {std::size_t{512}, std::size_t{1000}, MaWriter::kDefaultBufferSize}) {
    MemorySink sink;
    {
      MaWriter out(sink, buffer_size);
      for (int i = 0; i < 500; ++i) {
        out.print("                 %f %f %f\n", i * 0.25f, -i * 1.5f, 1e20f);
        out.append(std::string(static_cast<std::size_t>(i % 700), 'x'));
      }
      out.finish();
    }
    if (expected.empty()) {
      expected = sink.contents();
      ASSERT_GT(expected.size(), 100'000U);
    }
    EXPECT_EQ(sink.contents(), expected) << "buffer " << buffer_size;
  }
}

TEST(MaWriter, NothingWrittenIsLostWhenTheWriterIsDestroyedEarly) {
  MemorySink sink;
  {
    MaWriter out(sink);
    out.print("createNode transform -n \"%s\";\n", QuotedName{"Box01"});
  }
  EXPECT_EQ(sink.contents(), "createNode transform -n \"Box01\";\n");
}

TEST(MaWriter, WriteFailuresAreReportedAtTheWriteThatFails) {
  FailingSink sink(/*fail_on_write=*/2);
  MaWriter out(sink, 512);
  EXPECT_THROW(
      {
        for (int i = 0; i < 1000; ++i) out.append("0123456789");
      },
      IoFailure);
}

TEST(MaWriter, FailuresAtTheFinalFlushAndCloseAreReported) {
  {
    FailingSink sink(/*fail_on_write=*/1);
    MaWriter out(sink);
    out.append("header");
    EXPECT_THROW(out.finish(), IoFailure);
  }
  {
    FailingSink sink(/*fail_on_write=*/0, /*fail_on_close=*/true);
    MaWriter out(sink);
    out.append("header");
    EXPECT_THROW(out.finish(), IoFailure);
    EXPECT_EQ(sink.contents, "header");
  }
}

TEST(MemorySink, RefusesToGrowPastItsLimit) {
  MemorySink sink(10);
  sink.write("0123456789");
  EXPECT_THROW(sink.write("x"), IoFailure);
  EXPECT_EQ(sink.contents(), "0123456789");
}

}  // namespace
}  // namespace kestrun
