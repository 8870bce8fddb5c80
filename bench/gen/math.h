// Random numbers and the little vector arithmetic a scene needs, built from
// integer and basic IEEE operations only, so that a seed gives the same bytes
// on every machine: the std distributions and libm's sine and cosine may
// differ between library versions.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

namespace kestrun::scenegen {

/// SplitMix64.
class Random {
 public:
  /// The generator of node `node` of the scene of `seed`: each node has its
  /// own, so the size of one mesh never changes the values of another node.
  Random(std::uint64_t seed, std::uint64_t node) : state_(mix(mix(seed) ^ node)) {}

  std::uint64_t next() { return mix(state_ += 0x9e3779b97f4a7c15ULL); }
  /// A whole number from `low` to `high`, both included.
  std::int64_t pick(std::int64_t low, std::int64_t high) {
    return low + static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(high - low + 1));
  }
  /// A number from `low` up to `high`.
  double uniform(double low, double high) {
    return low + (high - low) * static_cast<double>(next() >> 11) * 0x1p-53;
  }
  bool one_in(std::uint64_t n) { return next() % n == 0; }

 private:
  static std::uint64_t mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  std::uint64_t state_;
};

struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(Vec3 v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
/// `v` at unit length; a zero vector (a collapsed face) gets +Z.
inline Vec3 normalized(Vec3 v) { return length(v) == 0.0 ? Vec3{0.0, 0.0, 1.0} : v * (1.0 / length(v)); }

inline constexpr double kPi = 3.14159265358979323846;

struct SinCos {
  double sin;
  double cos;
};
/// By a Taylor series to x^30, within 1e-14 for |angle| <= 4: far below the four decimals printed.
inline SinCos sin_cos(double angle) {
  double sine = 0.0;
  double cosine = 0.0;
  for (int n = 14; n >= 0; --n) {
    sine = 1.0 - angle * angle * sine / ((2.0 * n + 2.0) * (2.0 * n + 3.0));
    cosine = 1.0 - angle * angle * cosine / ((2.0 * n + 1.0) * (2.0 * n + 2.0));
  }
  return {angle * sine, cosine};
}

/// TM_ROW0..2 of the turn by `angle` about the unit `axis`, as the exporter
/// relates them to TM_ROTAXIS and TM_ROTANGLE.
inline std::array<Vec3, 3> rotation_rows(Vec3 axis, double angle) {
  const auto [s, c] = sin_cos(angle);
  const double t = 1.0 - c;
  const auto [x, y, z] = axis;
  return {Vec3{c + x * x * t, x * y * t - z * s, x * z * t + y * s},
          Vec3{y * x * t + z * s, c + y * y * t, y * z * t - x * s},
          Vec3{z * x * t - y * s, z * y * t + x * s, c + z * z * t}};
}

/// A direction drawn evenly over the sphere, by rejection from the cube.
inline Vec3 random_axis(Random& random) {
  while (true) {
    const Vec3 v{random.uniform(-1, 1), random.uniform(-1, 1), random.uniform(-1, 1)};
    if (const double size = length(v); size > 0.01 && size <= 1.0) return v * (1.0 / size);
  }
}

}  // namespace kestrun::scenegen
