// CharSource: the input, one character at a time, for the tokenizer.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>

#include "ase/byte_source.h"

namespace kestrun {

/// The character after the last one: outside the byte range, so every byte of
/// the input, 0xAC included, is an ordinary character.
inline constexpr int kEndChar = 256;

/// Reads the input in large blocks and delivers exactly the characters that a
/// reader taking one line at a time into a 1024-byte buffer would deliver:
/// - each tab, line feed, vertical tab, form feed and carriage return becomes
///   a space;
/// - the input is cut into pieces, each ending after a line feed or after 1023
///   bytes; a NUL byte drops itself and the rest of its piece;
/// - when the character after the last one is asked for, `on_end` runs once
///   (it prints the completion lines), end_of_input() becomes true and the
///   current character becomes kEndChar.
class CharSource {
 public:
  static constexpr std::size_t kDefaultBlockSize = std::size_t{1} << 18;
  static constexpr std::size_t kPieceSize = 1023;

  CharSource(ByteSource& source, std::function<void()> on_end, std::size_t block_size = kDefaultBlockSize);

  /// The character most recently delivered (a space before the first call).
  [[nodiscard]] int current_char() const { return current_; }
  /// True once the input is exhausted; never cleared.
  [[nodiscard]] bool end_of_input() const { return end_of_input_; }

  /// Moves to the next character of the input.
  void next_char() {
    if (next_ != end_) [[likely]] {
      current_ = kFolded[*next_++];
      return;
    }
    refill();
  }

 private:
  static constexpr std::array<unsigned char, 256> kFolded = [] {
    std::array<unsigned char, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
      const bool blank = byte == ' ' || (byte >= '\t' && byte <= '\r');
      table[static_cast<std::size_t>(byte)] = static_cast<unsigned char>(blank ? ' ' : byte);
    }
    return table;
  }();

  void refill();
  std::size_t keep_deliverable(std::size_t count);

  ByteSource& source_;
  std::function<void()> on_end_;
  std::size_t block_size_;
  std::unique_ptr<unsigned char[]> block_;
  const unsigned char* next_ = nullptr;
  const unsigned char* end_ = nullptr;
  int current_ = ' ';
  bool end_of_input_ = false;
  std::size_t piece_used_ = 0;  // Bytes of the current piece already read.
  bool dropping_ = false;       // A NUL was met in the current piece.
};

}  // namespace kestrun
