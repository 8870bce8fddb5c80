// CharSource: the input, one character at a time, for the tokenizer.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <span>

#include "base/byte_classes.h"
#include "io/byte_source.h"

namespace kestrun::flat {

/// Reads the input in large blocks and delivers exactly the characters that a
/// reader taking one line at a time into a 1024-byte buffer would deliver:
/// - the input is cut into pieces, each ending after a line feed or after 1023
///   bytes; a NUL byte drops itself and the rest of its piece;
/// - each tab, line feed, vertical tab, form feed and carriage return counts
///   as a space (fold());
/// - when the character after the last one is asked for, `on_end` runs once
///   (it prints the completion lines) and end_of_input() becomes true.
///
/// The tokenizer scans the current block itself: position() is the current
/// character (raw, whitespace not yet folded) and limit() the end of the
/// block, where a NUL stands as a sentinel. No NUL survives the NUL rule, so a
/// NUL byte always means the end of the block.
class CharSource {
 public:
  static constexpr std::size_t kPieceSize = 1023;

  CharSource(ByteSource& source, std::function<void()> on_end);

  /// True once the input is exhausted; never cleared.
  [[nodiscard]] bool end_of_input() const { return end_of_input_; }

  /// The current character's byte in the block, unfolded (a space before the
  /// first character).
  [[nodiscard]] const unsigned char* position() const { return next_; }
  /// The end of the block; the byte there is a NUL.
  [[nodiscard]] const unsigned char* limit() const { return end_; }
  /// Makes `position` (in the block, at most limit()) the current character.
  /// At limit() the next block is read at once, or the end state entered.
  void advance_to(const unsigned char* position) {
    next_ = position;
    if (position == end_) [[unlikely]] {
      refill();
    }
  }

  /// The byte with whitespace folded to a space.
  static constexpr unsigned char fold(unsigned char byte) { return kFolded[byte]; }

 private:
  static constexpr std::array<unsigned char, 256> kFolded = [] {
    std::array<unsigned char, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
      const bool blank = byte_class::has_class(static_cast<unsigned char>(byte), byte_class::kBlank);
      table[static_cast<std::size_t>(byte)] = static_cast<unsigned char>(blank ? ' ' : byte);
    }
    return table;
  }();

  void refill();
  std::size_t keep_deliverable(std::span<unsigned char> block);

  ByteSource& source_;
  std::function<void()> on_end_;
  // The space before the first character, with the slack every block has.
  std::array<unsigned char, 1 + kBlockSlack> start_ = {' '};
  const unsigned char* next_ = start_.data();
  const unsigned char* end_ = start_.data() + 1;
  bool end_of_input_ = false;
  std::size_t piece_used_ = 0;  // Bytes of the current piece already read.
  bool dropping_ = false;       // A NUL was met in the current piece.
};

}  // namespace kestrun::flat
