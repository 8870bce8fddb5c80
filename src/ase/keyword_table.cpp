#include "ase/keyword_table.h"

namespace kestrun {
namespace {

// Keywords are found through a small open-addressed hash table built when the
// program is compiled, so a look-up hashes the word once and usually compares
// it with a single entry instead of all 43.
constexpr std::size_t kSlots = 256;
constexpr std::uint8_t kEmpty = 0xFF;

constexpr std::uint32_t hash_word(std::string_view word) {
  std::uint32_t hash = 2166136261U;
  for (const char c : word) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619U;
  }
  return hash;
}

constexpr auto kSlotTable = [] {
  std::array<std::uint8_t, kSlots> slots{};
  slots.fill(kEmpty);
  for (std::size_t index = 0; index < keyword_table.size(); ++index) {
    std::size_t slot = hash_word(keyword_table[index].text) % kSlots;
    while (slots[slot] != kEmpty) {
      slot = (slot + 1) % kSlots;
    }
    slots[slot] = static_cast<std::uint8_t>(index);
  }
  return slots;
}();

}  // namespace

TokenKind find_keyword(std::string_view word) noexcept {
  for (std::size_t slot = hash_word(word) % kSlots;; slot = (slot + 1) % kSlots) {
    const std::uint8_t index = kSlotTable[slot];
    if (index == kEmpty) {
      return TokenKind::Unknown;
    }
    if (keyword_table[index].text == word) {
      return keyword_table[index].kind;
    }
  }
}

}  // namespace kestrun
