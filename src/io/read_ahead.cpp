#include "io/read_ahead.h"

#include <cstring>

#include "base/error.h"
#include "io/byte_source.h"

namespace kestrun {

ReadAhead::ReadAhead(ByteReader& reader, std::size_t block_size, bool scan_for_nul, std::size_t blocks)
    : reader_(reader),
      scan_for_nul_(scan_for_nul),
      ring_(blocks, block_size),
      thread_([this] { read_blocks(); }) {}

ReadAhead::~ReadAhead() {
  ring_.stop();
  thread_.join();
}

void ReadAhead::read_blocks() {
  bool done = false;
  while (!done) {
    BlockRing::Block* block = ring_.next_free();
    if (block == nullptr) {
      return;  // Stopped before the end.
    }
    const ReadResult read = read_fully(reader_, block->bytes.get(), ring_.block_size());
    block->size = read.count;
    block->failed = read.failed;
    block->nul_free = scan_for_nul_ && std::memchr(block->bytes.get(), 0, read.count) == nullptr;
    done = read.count < ring_.block_size();  // The end, or a failure.
    ring_.publish();
  }
}

std::span<unsigned char> ReadAhead::next_block() {
  if (finished_) {
    if (failed_) throw Error(ErrorCode::InputRead);
    return {};
  }
  if (holding_) {
    ring_.release();
  }
  BlockRing::Block* block = ring_.next_filled();
  holding_ = true;
  finished_ = block->size < ring_.block_size();
  failed_ = block->failed;
  nul_free_ = block->nul_free;
  if (block->failed && block->size == 0) {
    throw Error(ErrorCode::InputRead);
  }
  return {block->bytes.get(), block->size};
}

}  // namespace kestrun
