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

/// A rotation as a unit quaternion: four numbers where a matrix keeps
/// twelve, for keeping many rotations.
struct Quaternion {
  double w = 1.0;
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

/// The quaternion of `rotation`'s 3x3 part, which must be a rotation.
Quaternion quaternion_of(const Matrix43& rotation);

/// The rotation matrix of `q` (the inverse of quaternion_of).
Matrix43 matrix_of(Quaternion q);

/// The angle in radians of the turn from rotation `a` to rotation `b`.
double turn_between(const Matrix43& a, const Matrix43& b);

/// The Euler angles reached by turning from `start` (whose angles are
/// `start_angles`) by `angle` radians about `axis`, followed along the turn
/// in steps of at most thirty degrees, each step's angles the equivalent
/// nearest the step before: a curve from `start_angles` to the result turns
/// the way the turn does and through its whole angle (720 degrees is two
/// whole turns, not none).
Euler follow_turn(const Matrix43& start, Euler start_angles, Vec3 axis, double angle);

/// The stretch of a 3ds Max scale value: the factors `factors` along the
/// axes that the rotation `axis`, `angle` turns the node's axes to
/// (U^-1 * K * U for row vectors, U the rotation).
Matrix43 stretch_matrix(Vec3 factors, Vec3 axis, double angle);

/// True if `m`'s first three rows are orthogonal to each other, within what
/// numbers of four decimals (as exporters write them) can hold: its stretch
/// is along the node's own axes, so that a scale and a rotation alone
/// reproduce it.
bool stretches_along_own_axes(const Matrix43& m);

/// The rotation of `m`'s polar decomposition, m = P * Q for row vectors
/// with P symmetric: the "essential rotation" 3ds Max's rotation keys give.
/// `m` must be regular and not mirror.
Matrix43 polar_rotation(const Matrix43& m);

/// A transform node's channels: p * M = p * S * SH * RA * R + T with S the
/// scale, SH the shear (xy, xz, yz, in rows 1 and 2), RA the rotate axis
/// and R the rotation.
struct Channels {
  Vec3 translate;
  Euler rotate;
  Vec3 scale{1, 1, 1};
  Vec3 shear;  // xy, xz, yz
  Euler rotate_axis;
};

/// Splits `m` into channels without a rotate axis, or nothing if it is
/// singular. A mirroring matrix gets negative scales on all three axes (3ds
/// Max's decomposition mirrors through the origin), so that the rotation is
/// the one its rotation keys give.
std::optional<Channels> decompose(const Matrix43& m);

/// Splits `m` so that its rotation is `rotation`: the rest of the matrix
/// (a stretch along turned axes, say) goes to scale, shear and rotate axis.
/// Nothing if `m` is singular.
std::optional<Channels> decompose_about(const Matrix43& m, const Matrix43& rotation);

/// The matrix of `channels` (the inverse of decompose).
Matrix43 compose(const Channels& channels);

}  // namespace kestrun
