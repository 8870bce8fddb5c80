#include "maya/background_sink.h"

#include <algorithm>
#include <cstring>

namespace kestrun {

BackgroundSink::BackgroundSink(ByteSink& inner, std::size_t block_size, std::size_t blocks)
    : inner_(inner), block_size_(block_size), ring_(blocks) {
  for (Block& block : ring_) {
    block.bytes = std::make_unique_for_overwrite<char[]>(block_size_);  // Written before read.
  }
  thread_ = std::thread([this] { write_blocks(); });
}

BackgroundSink::~BackgroundSink() {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return written_ == queued_; });
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void BackgroundSink::write_blocks() {
  for (;;) {
    Block* block = nullptr;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return stopping_ || written_ < queued_; });
      if (written_ == queued_) {
        return;  // Stopping with nothing left to write.
      }
      block = &ring_[written_ % ring_.size()];
      if (failure_) {
        ++written_;  // The output is lost already: drop the rest.
        changed_.notify_all();
        continue;
      }
    }
    std::exception_ptr failure;
    try {
      inner_.write(std::string_view(block->bytes.get(), block->size));
    } catch (...) {
      failure = std::current_exception();
    }
    {
      const std::lock_guard lock(mutex_);
      if (failure) {
        failure_ = failure;
      }
      ++written_;
    }
    changed_.notify_all();
  }
}

void BackgroundSink::write(std::string_view bytes) {
  while (!bytes.empty()) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return failure_ || queued_ - written_ < ring_.size(); });
    if (failure_) {
      std::rethrow_exception(failure_);
    }
    Block& block = ring_[queued_ % ring_.size()];
    lock.unlock();
    // The block is free: the writing thread does not touch it until queued.
    block.size = std::min(bytes.size(), block_size_);
    std::memcpy(block.bytes.get(), bytes.data(), block.size);
    bytes.remove_prefix(block.size);
    lock.lock();
    ++queued_;
    lock.unlock();
    changed_.notify_all();
  }
}

void BackgroundSink::drain() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return written_ == queued_; });
  if (failure_) {
    std::rethrow_exception(failure_);
  }
}

void BackgroundSink::close() {
  drain();
  inner_.close();
}

}  // namespace kestrun
