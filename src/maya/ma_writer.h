// MaWriter: the buffered output stream of a conversion.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "base/format.h"
#include "io/block_ring.h"
#include "io/byte_sink.h"
#include "maya/maya_text.h"

namespace kestrun {

/// Formats Maya ASCII text into a large buffer and hands it to a ByteSink in
/// big writes. Write failures throw Error(ErrorCode::OutputWrite).
class MaWriter {
 public:
  static constexpr std::size_t kDefaultBufferSize = kBlockSize;

  explicit MaWriter(ByteSink& sink, std::size_t buffer_size = kDefaultBufferSize);
  MaWriter(const MaWriter&) = delete;
  MaWriter& operator=(const MaWriter&) = delete;
  /// Hands what is still buffered to the sink (errors are ignored here: a run
  /// that ends this way is already failing), so nothing written is lost.
  ~MaWriter();

  /// Writes the format `Text` with `args`, as printf would:
  /// out.print<" setAttr -s %d \".vt[0:%d]\"\n">(count, count - 1).
  template <FormatText Text, class... Args>
  void print(const Args&... args) {
    format_text_to<Text>(*this, args...);
  }

  /// Writes a format chosen at run time (from a table of formats) with `args`.
  template <class... Args>
  void print(Format<Args...> format, const Args&... args) {
    format_to(*this, format, args...);
  }

  /// Writes `text` unchanged.
  void append(std::string_view text);

  /// Returns room for at least `size` bytes (at most a few hundred); the
  /// caller writes there and then calls commit with the end of what it wrote.
  char* reserve(std::size_t size) {
    if (static_cast<std::size_t>(limit_ - next_) < size) {
      flush();
    }
    return next_;
  }
  void commit(char* end) { next_ = end; }

  /// Hands the buffered bytes to the sink.
  void flush();

  /// Flushes and closes the sink; after this nothing more may be written.
  void finish();

  /// How many values were not finite, and so were written as the largest
  /// float of their sign or as 0 (format_fixed): no Maya file holds them.
  [[nodiscard]] std::size_t non_finite_written() const { return non_finite_; }
  /// Where the formatting counts them.
  std::size_t* non_finite_tally() { return &non_finite_; }

 private:
  ByteSink& sink_;
  std::size_t non_finite_ = 0;
  std::unique_ptr<char[]> buffer_;
  char* next_;
  char* limit_;
  bool finished_ = false;
};

}  // namespace kestrun
