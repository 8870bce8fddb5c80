// ReadAhead: reads a file into a ring of blocks on a background thread.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace kestrun {

/// Keeps up to `blocks` blocks of a descriptor read before they are asked
/// for, so that the system's copying of the input happens on another core.
/// The descriptor must stay open until the ReadAhead is destroyed.
class ReadAhead {
 public:
  ReadAhead(int descriptor, std::size_t block_size, std::size_t blocks = 4);
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;
  /// Stops the thread, at the latest after the read it is doing.
  ~ReadAhead();

  /// Gives back the block handed out last and returns the next one, empty at
  /// the end of the input. Throws IoFailure(ErrorCode::InputRead) where a
  /// read failed, as reading in place would have.
  std::span<unsigned char> next_block();

 private:
  struct Block {
    std::unique_ptr<unsigned char[]> bytes;  // block_size_ bytes and the slack.
    std::size_t size = 0;
    bool failed = false;
  };

  void read_blocks();

  int descriptor_;
  std::size_t block_size_;
  std::vector<Block> ring_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t filled_ = 0;  // Blocks read so far; block k lives in ring_[k % size].
  std::size_t taken_ = 0;   // Blocks handed out; the last of them is still in use.
  bool stopping_ = false;
  bool finished_ = false;  // The last block (end or failure) was handed out.
  bool failed_ = false;
  std::thread thread_;  // Last: it starts once everything above is ready.
};

}  // namespace kestrun
