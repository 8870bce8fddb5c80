// Deterministic random numbers: the same seed gives the same scene on every
// machine, so only the engine's raw output is used, never std distributions
// (whose algorithms differ between standard libraries).
#pragma once

#include <cstdint>
#include <random>

namespace kestrun::scenegen {

/// Which part of the scene a random stream feeds; each node has its own
/// stream, so the size of one mesh never changes the values of another node.
enum class Stream : std::uint64_t { kScene = 0, kGeometry = 1, kLight = 2, kCamera = 3 };

/// Seed for the stream of node `index` of kind `stream` in the scene of `seed`.
std::uint64_t stream_seed(std::uint64_t seed, Stream stream, std::uint64_t index);

/// A mersenne twister with exact, portable ways of drawing from it.
class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  /// A whole number from `low` to `high`, both included, every one equally likely.
  std::int64_t uniform(std::int64_t low, std::int64_t high);
  /// True with probability 1 / `n` (to within 2^-64 n).
  bool one_in(std::uint64_t n);

 private:
  std::mt19937_64 engine_;
};

}  // namespace kestrun::scenegen
