// BackgroundSink: hands the output to another sink on a background thread.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "maya/byte_sink.h"

namespace kestrun {

/// Copies each write into a ring of blocks and writes them to `inner` on a
/// background thread, so that formatting and the disk overlap. A failure of
/// `inner` is thrown by the next write or by close, so no run that lost output
/// can end as a success.
class BackgroundSink final : public ByteSink {
 public:
  explicit BackgroundSink(ByteSink& inner, std::size_t block_size = std::size_t{1} << 18,
                          std::size_t blocks = 4);
  BackgroundSink(const BackgroundSink&) = delete;
  BackgroundSink& operator=(const BackgroundSink&) = delete;
  /// Writes what is still queued (a run that ends early keeps its output),
  /// then stops the thread.
  ~BackgroundSink() override;

  void write(std::string_view bytes) override;
  /// Waits until everything queued is written, then closes `inner`.
  void close() override;

 private:
  struct Block {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
  };

  void write_blocks();
  /// Waits until the queue is empty; rethrows a failure of `inner`.
  void drain();

  ByteSink& inner_;
  std::size_t block_size_;
  std::vector<Block> ring_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t queued_ = 0;   // Blocks queued so far; block k lives in ring_[k % size].
  std::size_t written_ = 0;  // Blocks written (or dropped after a failure).
  std::exception_ptr failure_;
  bool stopping_ = false;
  std::thread thread_;  // Last: it starts once everything above is ready.
};

}  // namespace kestrun
