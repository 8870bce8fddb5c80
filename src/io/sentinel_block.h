// The blocks both lexers scan: each ends on a NUL sentinel, so a scanning
// loop needs no bounds check of its own.
#pragma once

#include <cstddef>
#include <cstring>
#include <span>

#include "io/byte_source.h"

namespace kestrun {

/// The next block of `source` in which `keep(block)` leaves any byte (`keep`
/// may compact the block, and returns how many of its first bytes it kept),
/// those bytes followed by kBlockSlack NUL bytes: the sentinel that ends every
/// scan, and defined bytes for the scans that read past it. Empty at the end
/// of the input.
template <typename Keep>
std::span<const unsigned char> next_sentinel_block(ByteSource& source, Keep&& keep) {
  for (;;) {
    const std::span<unsigned char> block = source.next_block();
    if (block.empty()) return {};
    const std::size_t kept = keep(block);
    if (kept != 0) {
      std::memset(block.data() + kept, 0, kBlockSlack);
      return block.first(kept);
    }
    // Nothing of the block was kept: read on.
  }
}

/// A block kept whole.
inline std::size_t keep_whole_block(std::span<unsigned char> block) { return block.size(); }

}  // namespace kestrun
