// BlockRing: blocks handed from one thread to another, in order.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

namespace kestrun {

/// Size of the blocks the input is read in and the output written in: large
/// reads and writes, few system calls.
inline constexpr std::size_t kBlockSize = std::size_t{1} << 18;

/// Bytes after every input block that may be read and written: room for the
/// reader's sentinel and for copies of a fixed size that run past the data.
inline constexpr std::size_t kBlockSlack = 64;

/// Where blocks begin: on a page. The system copies into a buffer that
/// begins off a cache line several times slower (reading a large file into
/// the 16-byte aligned buffers of the allocator took four times as long).
inline constexpr std::size_t kBlockAlignment = 4096;

/// Frees a block made by make_block.
struct BlockDeleter {
  void operator()(unsigned char* bytes) const noexcept;
};
using BlockBytes = std::unique_ptr<unsigned char[], BlockDeleter>;

/// A buffer of `size` bytes and the slack, beginning on a page, not cleared:
/// its users write every byte before they read it (clearing megabytes of
/// buffers would cost every small run a millisecond).
BlockBytes make_block(std::size_t size);

/// A fixed ring of blocks between a producer thread, which fills free blocks
/// in turn, and a consumer thread, which takes the filled ones in the same
/// order and frees them. Read-ahead and write-behind are both made of one.
class BlockRing {
 public:
  struct Block {
    BlockBytes bytes;       // The block size and the slack.
    std::size_t size = 0;   // Bytes in use.
    bool failed = false;    // The read or write of the block failed.
    bool nul_free = false;  // Read ahead and found to hold no NUL byte.
  };

  BlockRing(std::size_t blocks, std::size_t block_size);

  [[nodiscard]] std::size_t block_size() const { return block_size_; }

  /// Producer: waits for the next block to fill; null once stopped.
  Block* next_free();
  /// Producer: hands the block from next_free to the consumer.
  void publish();
  /// Consumer: waits for the next filled block; null once stopped and
  /// nothing published is left.
  Block* next_filled();
  /// Consumer: gives the block from next_filled back to the producer.
  void release();
  /// Waits until the consumer has released everything published.
  void wait_until_drained();
  /// Wakes and ends both sides' waits.
  void stop();

 private:
  std::size_t block_size_;
  std::vector<Block> blocks_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t published_ = 0;  // Blocks handed over so far; block k is blocks_[k % size].
  std::size_t released_ = 0;   // Blocks given back so far.
  bool stopping_ = false;
};

}  // namespace kestrun
