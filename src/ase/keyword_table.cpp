#include "ase/keyword_table.h"

#include <cstring>

namespace kestrun {
namespace {

// Keywords are found through a perfect hash built when the program is
// compiled: a look-up hashes three bytes and the length of the word and
// compares it with at most one entry, in four masked 8-byte words.
constexpr std::size_t kSlots = 128;
constexpr std::uint8_t kEmpty = 0xFF;
constexpr std::size_t kWords = kPaddedKeyword / 8;

constexpr std::size_t hash_word(const char* chars, std::size_t length) {
  const auto byte = [chars](std::size_t i) {
    return static_cast<std::size_t>(static_cast<unsigned char>(chars[i]));
  };
  return (length * 61 + byte(length - 1) * 24 + byte(length >= 2 ? length - 2 : 0) + byte(0)) % kSlots;
}

/// A keyword laid out for the comparison: its bytes in 8-byte words (little
/// endian, as the words are loaded) and a mask of the bytes that count.
struct PaddedKeyword {
  std::uint64_t words[kWords] = {};
  std::uint64_t masks[kWords] = {};
  std::size_t length = 0;
};

constexpr auto kPadded = [] {
  std::array<PaddedKeyword, keyword_table.size()> padded{};
  for (std::size_t index = 0; index < keyword_table.size(); ++index) {
    const std::string_view text = keyword_table[index].text;
    if (text.size() > kPaddedKeyword) throw "a keyword is longer than the padded comparison";
    padded[index].length = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
      const std::size_t shift = (i % 8) * 8;
      padded[index].words[i / 8] |= std::uint64_t{static_cast<unsigned char>(text[i])} << shift;
      padded[index].masks[i / 8] |= std::uint64_t{0xFF} << shift;
    }
  }
  return padded;
}();

constexpr auto kSlotTable = [] {
  std::array<std::uint8_t, kSlots> slots{};
  slots.fill(kEmpty);
  for (std::size_t index = 0; index < keyword_table.size(); ++index) {
    const std::string_view text = keyword_table[index].text;
    std::uint8_t& slot = slots[hash_word(text.data(), text.size())];
    if (slot != kEmpty) throw "two keywords share a slot: choose other hash factors";
    slot = static_cast<std::uint8_t>(index);
  }
  return slots;
}();

}  // namespace

TokenKind find_padded_keyword(const char* chars, std::size_t length) noexcept {
  if (length == 0 || length > kPaddedKeyword) {
    return TokenKind::Unknown;
  }
  const std::uint8_t index = kSlotTable[hash_word(chars, length)];
  if (index == kEmpty || kPadded[index].length != length) {
    return TokenKind::Unknown;
  }
  std::uint64_t difference = 0;
  for (std::size_t word = 0; word < kWords; ++word) {
    std::uint64_t loaded = 0;
    std::memcpy(&loaded, chars + word * 8, 8);
    difference |= (loaded ^ kPadded[index].words[word]) & kPadded[index].masks[word];
  }
  return difference == 0 ? keyword_table[index].kind : TokenKind::Unknown;
}

}  // namespace kestrun
