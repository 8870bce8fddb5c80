#include "io/background_sink.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "base/error.h"

namespace kestrun {

BackgroundSink::BackgroundSink(ByteSink& inner, std::size_t block_size, std::size_t blocks)
    : inner_(inner), ring_(blocks, block_size), thread_([this] { write_blocks(); }) {}

std::unique_ptr<BackgroundSink> BackgroundSink::start(ByteSink& inner) {
  try {
    return std::make_unique<BackgroundSink>(inner);
  } catch (const std::system_error&) {
    return nullptr;
  }
}

BackgroundSink::~BackgroundSink() {
  ring_.wait_until_drained();
  ring_.stop();
  thread_.join();
}

void BackgroundSink::write_blocks() {
  // Only this thread touches failed_ until the ring is drained.
  while (BlockRing::Block* block = ring_.next_filled()) {
    if (!failed_) {
      try {
        inner_.write(std::string_view(reinterpret_cast<const char*>(block->bytes.get()), block->size));
      } catch (...) {
        failed_ = true;  // The output is lost from here: drop the rest.
      }
    }
    block->failed = failed_;
    ring_.release();
  }
}

void BackgroundSink::write(std::string_view bytes) {
  while (!bytes.empty()) {
    BlockRing::Block* block = ring_.next_free();
    if (block->failed) {
      throw Error(ErrorCode::OutputWrite);  // The write of this block's last use failed.
    }
    // The block is free: the writing thread does not touch it until published.
    block->size = std::min(bytes.size(), ring_.block_size());
    std::memcpy(block->bytes.get(), bytes.data(), block->size);
    bytes.remove_prefix(block->size);
    ring_.publish();
  }
}

void BackgroundSink::close() {
  ring_.wait_until_drained();
  if (failed_) {
    throw Error(ErrorCode::OutputWrite);
  }
  inner_.close();
}

}  // namespace kestrun
