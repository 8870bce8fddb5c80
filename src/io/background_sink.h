// BackgroundSink: hands the output to another sink on a background thread.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <thread>

#include "io/block_ring.h"
#include "io/byte_sink.h"

namespace kestrun {

/// Copies each write into a ring of blocks and writes them to `inner` on a
/// background thread, so that formatting and the disk overlap. A failure of
/// `inner` is thrown where the output reaches a fixed point, whatever the
/// threads' timing: when the block that failed is about to be reused (after
/// as many further blocks as the ring holds), or at close. So the same run
/// always fails at the same place, and no run that lost output can succeed.
class BackgroundSink final : public ByteSink {
 public:
  /// Throws std::system_error if its thread cannot be started.
  explicit BackgroundSink(ByteSink& inner, std::size_t block_size = kBlockSize, std::size_t blocks = 4);
  /// A BackgroundSink over `inner`, or null where no thread can be started
  /// (a limit on processes or memory): `inner` is then written directly.
  static std::unique_ptr<BackgroundSink> start(ByteSink& inner);
  BackgroundSink(const BackgroundSink&) = delete;
  BackgroundSink& operator=(const BackgroundSink&) = delete;
  /// Writes what is still queued (a run that ends early keeps its output),
  /// then stops the thread.
  ~BackgroundSink() override;

  void write(std::string_view bytes) override;
  /// Waits until everything queued is written, then closes `inner`.
  void close() override;

 private:
  void write_blocks();

  ByteSink& inner_;
  BlockRing ring_;
  bool failed_ = false;  // A block failed: every block after it is dropped.
  std::thread thread_;   // Last: it starts once everything above is ready.
};

}  // namespace kestrun
