// The little vector arithmetic the generator needs, built only from IEEE
// operations (no libm trigonometry) so results match on every machine.
#pragma once

#include <array>

#include "gen/random.h"

namespace kestrun::scenegen {

struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

/// Component-wise a - b.
Vec3 operator-(const Vec3& a, const Vec3& b);
/// Component-wise a + b.
Vec3 operator+(const Vec3& a, const Vec3& b);
/// The cross product a x b.
Vec3 cross(const Vec3& a, const Vec3& b);
/// Euclidean length.
double length(const Vec3& v);
/// `v` scaled to unit length; a zero vector becomes +Z, as a flat face needs some normal.
Vec3 normalized(const Vec3& v);
/// A direction drawn evenly over the sphere.
Vec3 random_unit_vector(Random& random);

struct SinCos {
  double sin = 0.0;
  double cos = 1.0;
};
/// Sine and cosine of `angle` (radians, |angle| <= 4) by a fixed Taylor series.
SinCos sin_cos(double angle);

/// The rows of the rotation by `angle` radians about the unit `axis`, which is
/// how the exporter's TM_ROW0..2 relate to TM_ROTAXIS and TM_ROTANGLE.
std::array<Vec3, 3> rotation_rows(const Vec3& axis, double angle);

}  // namespace kestrun::scenegen
