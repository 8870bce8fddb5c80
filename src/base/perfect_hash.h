// The perfect hash of a keyword list, built when the program is compiled:
// each mode's keyword look-up hashes a word in its own way, and this gives
// every keyword a slot of its own or reports that the hash cannot.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace kestrun {

/// In a slot table, the slot that holds no keyword.
inline constexpr std::uint8_t kNoKeyword = 0xFF;

/// A table of `Slots` slots holding the index of the keyword whose slot it is
/// (`slot_of(index)`, for each of `count` keywords), or nothing when two
/// keywords share a slot.
template <std::size_t Slots, typename SlotOf>
constexpr std::optional<std::array<std::uint8_t, Slots>> perfect_slots(std::size_t count, SlotOf slot_of) {
  static_assert(Slots > 0);
  if (count >= kNoKeyword) return std::nullopt;  // An index must fit beside kNoKeyword.
  std::array<std::uint8_t, Slots> slots{};
  slots.fill(kNoKeyword);
  for (std::size_t index = 0; index < count; ++index) {
    std::uint8_t& slot = slots[slot_of(index) % Slots];
    if (slot != kNoKeyword) return std::nullopt;
    slot = static_cast<std::uint8_t>(index);
  }
  return slots;
}

}  // namespace kestrun
