#include "gen/vec_math.h"

#include <cmath>

namespace kestrun::scenegen {

Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double length(const Vec3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

Vec3 normalized(const Vec3& v) {
  const double size = length(v);
  if (size == 0.0) return {0.0, 0.0, 1.0};
  return {v.x / size, v.y / size, v.z / size};
}

Vec3 random_unit_vector(Random& random) {
  // Rejection from the cube keeps the direction even over the sphere.
  constexpr std::int64_t kSteps = 1 << 20;
  while (true) {
    const Vec3 v{static_cast<double>(random.uniform(-kSteps, kSteps)) / kSteps,
                 static_cast<double>(random.uniform(-kSteps, kSteps)) / kSteps,
                 static_cast<double>(random.uniform(-kSteps, kSteps)) / kSteps};
    const double squared = v.x * v.x + v.y * v.y + v.z * v.z;
    if (squared > 1e-6 && squared <= 1.0) return normalized(v);
  }
}

SinCos sin_cos(double angle) {
  // Terms up to x^30 keep the error below 1e-14 for |x| <= 4, far under the
  // four decimals printed; libm's sin and cos may differ between versions.
  const double square = angle * angle;
  double sine = 0.0;
  double cosine = 0.0;
  for (int n = 14; n >= 0; --n) {
    sine = 1.0 - square * sine / ((2.0 * n + 2.0) * (2.0 * n + 3.0));
    cosine = 1.0 - square * cosine / ((2.0 * n + 1.0) * (2.0 * n + 2.0));
  }
  return {angle * sine, cosine};
}

std::array<Vec3, 3> rotation_rows(const Vec3& axis, double angle) {
  const SinCos turn = sin_cos(angle);
  const double c = turn.cos;
  const double s = turn.sin;
  const double t = 1.0 - c;
  const double x = axis.x;
  const double y = axis.y;
  const double z = axis.z;
  return {Vec3{c + x * x * t, x * y * t - z * s, x * z * t + y * s},
          Vec3{y * x * t + z * s, c + y * y * t, y * z * t - x * s},
          Vec3{z * x * t - y * s, z * y * t + x * s, c + z * z * t}};
}

}  // namespace kestrun::scenegen
