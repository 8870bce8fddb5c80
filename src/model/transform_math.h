// Vectors and affine matrices in the convention of ASE transforms: row
// vectors, p' = p * M, the fourth row the translation.
#pragma once

#include <array>
#include <optional>

namespace kestrun {

struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }
inline double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

/// An affine transform for row vectors: p' = p * [rows[0]; rows[1]; rows[2]] + rows[3].
struct Matrix43 {
  std::array<Vec3, 4> rows = {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}, Vec3{0, 0, 0}};

  [[nodiscard]] Vec3 apply(Vec3 p) const { return rows[0] * p.x + rows[1] * p.y + rows[2] * p.z + rows[3]; }
  /// A direction: the translation does not apply.
  [[nodiscard]] Vec3 apply_direction(Vec3 d) const { return rows[0] * d.x + rows[1] * d.y + rows[2] * d.z; }
  [[nodiscard]] double determinant() const { return dot(rows[0], cross(rows[1], rows[2])); }
};

/// `a` then `b`: p * (a * b) = (p * a) * b.
Matrix43 operator*(const Matrix43& a, const Matrix43& b);

/// The inverse, or nothing when the matrix is singular (or not finite).
std::optional<Matrix43> inverse(const Matrix43& m);

/// The rotation ASE writes as an axis and an angle in radians (TM_ROTAXIS and
/// TM_ROTANGLE, rotation samples and keys), as a row-vector matrix. Its rows
/// are Rodrigues' matrix for the angle, which in the row-vector convention
/// turns by the negated angle: the exporter's sign convention.
Matrix43 axis_angle_rows(Vec3 axis, double angle);

/// Rotations about X, Y and Z in degrees, applied in that order.
struct Euler {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

/// The Euler angles of a pure rotation matrix for a transform whose rotate
/// order is xyz: R = RX * RY * RZ, row vectors, as a transform node composes them.
Euler euler_xyz(const Matrix43& rotation);

/// The rotation matrix of `angles` (the inverse of euler_xyz).
Matrix43 rotation_xyz(Euler angles);

/// The equivalent angles of `angles` nearest `previous`, component by
/// component, so that a curve through them takes the short way round.
Euler nearest_equivalent(Euler angles, Euler previous);

/// A transform node's channels: p * M = p * S * SH * R + T with S the scale,
/// SH the shear (xy, xz, yz, in rows 1 and 2) and R the rotation.
struct Channels {
  Vec3 translate;
  Euler rotate;
  Vec3 scale{1, 1, 1};
  Vec3 shear;  // xy, xz, yz
};

/// Splits `m` into channels, or nothing if it is singular. A mirroring
/// matrix gets a negative Z scale.
std::optional<Channels> decompose(const Matrix43& m);

}  // namespace kestrun
