#include "ase/char_source.h"

#include <cstring>
#include <utility>

namespace kestrun::flat {

CharSource::CharSource(ByteSource& source, std::function<void()> on_end)
    : source_(source), on_end_(std::move(on_end)) {}

void CharSource::refill() {
  if (end_of_input_) {
    return;
  }
  for (;;) {
    const std::span<unsigned char> block = source_.next_block();
    if (block.empty()) {
      break;
    }
    const std::size_t kept = keep_deliverable(block);
    if (kept != 0) {
      // The sentinel, and defined bytes for the scans that read past it.
      std::memset(block.data() + kept, 0, kBlockSlack);
      next_ = block.data();
      end_ = next_ + kept;
      return;
    }
    // Every byte of the block fell under the NUL rule: read on.
  }
  start_[0] = 0;
  next_ = end_ = start_.data();  // Stays on a NUL sentinel from now on.
  if (on_end_) {
    on_end_();
  }
  end_of_input_ = true;
}

std::size_t CharSource::keep_deliverable(std::span<unsigned char> block) {
  unsigned char* const data = block.data();
  const std::size_t count = block.size();
  if (!dropping_ && (source_.block_is_nul_free() || std::memchr(data, 0, count) == nullptr)) {
    // No NUL to apply: only keep track of where the current piece stands.
    const auto* last_line_feed = static_cast<const unsigned char*>(memrchr(data, '\n', count));
    if (last_line_feed != nullptr) {
      piece_used_ = static_cast<std::size_t>(data + count - (last_line_feed + 1)) % kPieceSize;
    } else {
      piece_used_ = (piece_used_ + count) % kPieceSize;
    }
    return count;
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char byte = data[i];
    if (byte == 0) {
      dropping_ = true;
    }
    if (!dropping_) {
      data[kept++] = byte;
    }
    if (byte == '\n' || ++piece_used_ == kPieceSize) {
      piece_used_ = 0;
      dropping_ = false;
    }
  }
  return kept;
}

}  // namespace kestrun::flat
