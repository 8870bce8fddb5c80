#include "ase/keyword_table.h"

namespace kestrun {
namespace {

// Keywords are found through a perfect hash built when the program is
// compiled: a look-up hashes four bytes of the word and compares it with at
// most one entry, instead of with all 43.
constexpr std::size_t kSlots = 128;
constexpr std::uint8_t kEmpty = 0xFF;

constexpr std::size_t hash_word(std::string_view word) {
  const std::size_t n = word.size();
  const auto byte = [&word](std::size_t i) {
    return static_cast<std::size_t>(static_cast<unsigned char>(word[i]));
  };
  return (n * 61 + byte(n - 1) * 24 + byte(n >= 2 ? n - 2 : 0) + byte(0)) % kSlots;
}

constexpr auto kSlotTable = [] {
  std::array<std::uint8_t, kSlots> slots{};
  slots.fill(kEmpty);
  for (std::size_t index = 0; index < keyword_table.size(); ++index) {
    std::uint8_t& slot = slots[hash_word(keyword_table[index].text)];
    if (slot != kEmpty) throw "two keywords share a slot: choose other hash factors";
    slot = static_cast<std::uint8_t>(index);
  }
  return slots;
}();

}  // namespace

TokenKind find_keyword(std::string_view word) noexcept {
  if (word.empty()) {
    return TokenKind::Unknown;
  }
  const std::uint8_t index = kSlotTable[hash_word(word)];
  if (index != kEmpty && keyword_table[index].text == word) {
    return keyword_table[index].kind;
  }
  return TokenKind::Unknown;
}

}  // namespace kestrun
