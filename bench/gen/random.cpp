#include "gen/random.h"

namespace kestrun::scenegen {

namespace {

// SplitMix64's finaliser: neighbouring inputs give unrelated seeds.
std::uint64_t mix(std::uint64_t value) {
  value += 0x9e3779b97f4a7c15ULL;
  value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ULL;
  value = (value ^ (value >> 27)) * 0x94d049bb133111ebULL;
  return value ^ (value >> 31);
}

}  // namespace

std::uint64_t stream_seed(std::uint64_t seed, Stream stream, std::uint64_t index) {
  return mix(mix(mix(seed) ^ static_cast<std::uint64_t>(stream)) ^ index);
}

std::int64_t Random::uniform(std::int64_t low, std::int64_t high) {
  const std::uint64_t span = static_cast<std::uint64_t>(high) - static_cast<std::uint64_t>(low) + 1;
  if (span == 0) return static_cast<std::int64_t>(engine_());  // the whole 64-bit range
  // Reject the top partial copy of the range so every value is equally likely.
  const std::uint64_t limit = UINT64_MAX - (UINT64_MAX % span + 1) % span;
  std::uint64_t draw = engine_();
  while (draw > limit) draw = engine_();
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(low) + draw % span);
}

bool Random::one_in(std::uint64_t n) { return engine_() % n == 0; }

}  // namespace kestrun::scenegen
