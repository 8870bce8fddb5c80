#include "ase/char_source.h"

#include <cstring>
#include <utility>

#include "io/sentinel_block.h"

namespace kestrun::flat {

CharSource::CharSource(ByteSource& source, std::function<void()> on_end)
    : source_(source), on_end_(std::move(on_end)) {}

void CharSource::refill() {
  if (end_of_input_) {
    return;
  }
  const std::span<const unsigned char> block = next_sentinel_block(
      source_, [this](std::span<unsigned char> bytes) { return keep_deliverable(bytes); });
  if (!block.empty()) {
    next_ = block.data();
    end_ = next_ + block.size();
    return;
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
