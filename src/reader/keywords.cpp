#include "reader/keywords.h"

#include <array>

#include "base/perfect_hash.h"

namespace kestrun::reader {
namespace {

struct Entry {
  std::string_view text;
  Keyword keyword;
};

constexpr Entry kEntries[] = {
#define KESTRUN_KEYWORD_ENTRY(name, text) {text, Keyword::name},
    KESTRUN_EXTENDED_KEYWORDS(KESTRUN_KEYWORD_ENTRY)
#undef KESTRUN_KEYWORD_ENTRY
};
constexpr std::size_t kCount = std::size(kEntries);

constexpr std::array<KeywordKey, kCount> kKeys = [] {
  std::array<KeywordKey, kCount> keys{};
  for (std::size_t index = 0; index < kCount; ++index) keys[index] = keyword_key(kEntries[index].text);
  return keys;
}();
static_assert(kCount < 255);

constexpr int kSlotBits = 12;  // 4096 slots: a multiplier without collisions is found in a few tries.
constexpr std::uint8_t kEmpty = kNoKeyword;

constexpr std::size_t slot_of(std::uint64_t hash, std::uint64_t multiplier) {
  return static_cast<std::size_t>((hash * multiplier) >> (64 - kSlotBits));
}

/// The perfect hash, found when the program is compiled: the first odd
/// multiplier that gives every keyword a slot of its own.
struct PerfectHash {
  std::uint64_t multiplier = 0;
  std::array<std::uint8_t, std::size_t{1} << kSlotBits> slots{};
};

constexpr PerfectHash build_perfect_hash() {
  for (std::uint64_t multiplier = 0x9E3779B97F4A7C15ULL;; multiplier += 2) {
    const auto slots = perfect_slots<std::size_t{1} << kSlotBits>(
        kCount, [multiplier](std::size_t index) { return slot_of(keyword_hash(kKeys[index]), multiplier); });
    if (slots) return PerfectHash{multiplier, *slots};
  }
}

constexpr PerfectHash kHash = build_perfect_hash();

}  // namespace

Keyword find_keyword(std::string_view text, const KeywordKey& key) noexcept {
  const std::uint8_t index = kHash.slots[slot_of(keyword_hash(key), kHash.multiplier)];
  if (index == kEmpty || kKeys[index] != key) return Keyword::Unknown;
  // The key covers names of up to sixteen bytes; longer ones compare their middle too.
  if (key.length > 16 && text.substr(8, key.length - 16) != kEntries[index].text.substr(8, key.length - 16)) {
    return Keyword::Unknown;
  }
  return kEntries[index].keyword;
}

}  // namespace kestrun::reader
