#include "io/block_ring.h"

#include <new>

namespace kestrun {

void BlockDeleter::operator()(unsigned char* bytes) const noexcept {
  ::operator delete[](bytes, std::align_val_t{kBlockAlignment});
}

BlockBytes make_block(std::size_t size) {
  return BlockBytes(
      static_cast<unsigned char*>(::operator new[](size + kBlockSlack, std::align_val_t{kBlockAlignment})));
}

BlockRing::BlockRing(std::size_t blocks, std::size_t block_size) : block_size_(block_size), blocks_(blocks) {
  for (Block& block : blocks_) {
    block.bytes = make_block(block_size_);
  }
}

BlockRing::Block* BlockRing::next_free() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return stopping_ || published_ - released_ < blocks_.size(); });
  return stopping_ ? nullptr : &blocks_[published_ % blocks_.size()];
}

void BlockRing::publish() {
  {
    const std::lock_guard lock(mutex_);
    ++published_;
  }
  changed_.notify_all();
}

BlockRing::Block* BlockRing::next_filled() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return stopping_ || released_ < published_; });
  return released_ < published_ ? &blocks_[released_ % blocks_.size()] : nullptr;
}

void BlockRing::release() {
  {
    const std::lock_guard lock(mutex_);
    ++released_;
  }
  changed_.notify_all();
}

void BlockRing::wait_until_drained() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return released_ == published_; });
}

void BlockRing::stop() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
}

}  // namespace kestrun
