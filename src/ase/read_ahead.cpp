#include "ase/read_ahead.h"

#include "ase/byte_source.h"
#include "driver/run_error.h"

namespace kestrun {

ReadAhead::ReadAhead(int descriptor, std::size_t block_size, std::size_t blocks)
    : descriptor_(descriptor), block_size_(block_size), ring_(blocks) {
  for (Block& block : ring_) {
    block.bytes = make_block(block_size_);
  }
  thread_ = std::thread([this] { read_blocks(); });
}

ReadAhead::~ReadAhead() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void ReadAhead::read_blocks() {
  for (;;) {
    Block* block = nullptr;
    {
      std::unique_lock lock(mutex_);
      // The block in use by the reader, if any, is not overwritten.
      changed_.wait(lock,
                    [this] { return stopping_ || filled_ - (taken_ == 0 ? 0 : taken_ - 1) < ring_.size(); });
      if (stopping_) {
        return;
      }
      block = &ring_[filled_ % ring_.size()];
    }
    bool done = false;
    try {
      block->size = read_fully(descriptor_, block->bytes.get(), block_size_);
      block->failed = false;
      done = block->size == 0;
    } catch (const IoFailure&) {
      block->size = 0;
      block->failed = true;
      done = true;
    }
    {
      const std::lock_guard lock(mutex_);
      ++filled_;
    }
    changed_.notify_all();
    if (done) {
      return;
    }
  }
}

std::span<unsigned char> ReadAhead::next_block() {
  if (finished_) {
    if (failed_) throw IoFailure(ErrorCode::InputRead);
    return {};
  }
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return filled_ > taken_; });
  Block& block = ring_[taken_ % ring_.size()];
  ++taken_;  // Also gives back the block handed out before.
  lock.unlock();
  changed_.notify_all();
  finished_ = block.size == 0;
  failed_ = block.failed;
  if (block.failed) {
    throw IoFailure(ErrorCode::InputRead);
  }
  return {block.bytes.get(), block.size};
}

}  // namespace kestrun
