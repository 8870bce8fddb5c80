#include "model/transform_math.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kestrun {
namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

bool finite(Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

/// The angle nearest `previous` among `angle` + k * 360.
double nearest_turn(double angle, double previous) {
  return angle + 360.0 * std::round((previous - angle) / 360.0);
}

double distance(Euler a, Euler b) {
  return std::fabs(a.x - b.x) + std::fabs(a.y - b.y) + std::fabs(a.z - b.z);
}

}  // namespace

Matrix43 operator*(const Matrix43& a, const Matrix43& b) {
  Matrix43 product;
  for (int row = 0; row < 3; ++row) product.rows[row] = b.apply_direction(a.rows[row]);
  product.rows[3] = b.apply(a.rows[3]);
  return product;
}

std::optional<Matrix43> inverse(const Matrix43& m) {
  const Vec3 &a = m.rows[0], &b = m.rows[1], &c = m.rows[2];
  // Tested on the rows scaled to unit length, relative to their sizes, so
  // that a tiny but regular scale passes, and neither the test nor the
  // product of the sizes can underflow (a row of 1e-320) or overflow. A row
  // too small or large for its square (which decompose takes) counts as
  // singular too.
  const double la = std::hypot(a.x, a.y, a.z), lb = std::hypot(b.x, b.y, b.z), lc = std::hypot(c.x, c.y, c.z);
  for (const Vec3& row : {a, b, c}) {
    if (!(dot(row, row) > 0.0) || !std::isfinite(dot(row, row))) return std::nullopt;
  }
  if (!std::isfinite(la * lb * lc) || !finite(m.rows[3])) return std::nullopt;
  const auto unit = [](Vec3 v, double length) { return Vec3{v.x / length, v.y / length, v.z / length}; };
  if (!(std::fabs(dot(unit(a, la), cross(unit(b, lb), unit(c, lc)))) > 1e-12)) return std::nullopt;
  // The rows of the inverse of the 3x3 part are the cross products over det, transposed.
  const double det = m.determinant();
  const Vec3 bc = cross(b, c) * (1.0 / det), ca = cross(c, a) * (1.0 / det), ab = cross(a, b) * (1.0 / det);
  Matrix43 inv;
  inv.rows[0] = {bc.x, ca.x, ab.x};
  inv.rows[1] = {bc.y, ca.y, ab.y};
  inv.rows[2] = {bc.z, ca.z, ab.z};
  inv.rows[3] = inv.apply_direction(m.rows[3]) * -1.0;
  // Regular rows whose products leave the doubles' range have no inverse that can be used.
  for (const Vec3& row : inv.rows) {
    if (!finite(row)) return std::nullopt;
  }
  return inv;
}

Matrix43 axis_angle_rows(Vec3 axis, double angle) {
  const double length = std::sqrt(dot(axis, axis));
  if (!(length > 0.0) || !std::isfinite(length) || !std::isfinite(angle)) return {};
  const Vec3 u = axis * (1.0 / length);
  const double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
  Matrix43 m;
  m.rows[0] = {t * u.x * u.x + c, t * u.x * u.y - s * u.z, t * u.x * u.z + s * u.y};
  m.rows[1] = {t * u.x * u.y + s * u.z, t * u.y * u.y + c, t * u.y * u.z - s * u.x};
  m.rows[2] = {t * u.x * u.z - s * u.y, t * u.y * u.z + s * u.x, t * u.z * u.z + c};
  return m;
}

Euler euler_xyz(const Matrix43& r) {
  // R = RX * RY * RZ: row 0 is (cy cz, cy sz, -sy), column 2 is (-sy, sx cy, cx cy).
  const double cy = std::hypot(r.rows[0].x, r.rows[0].y);
  const double y = std::atan2(-r.rows[0].z, cy);
  if (cy > 1e-9) {
    return {std::atan2(r.rows[1].z, r.rows[2].z) * kDegrees, y * kDegrees,
            std::atan2(r.rows[0].y, r.rows[0].x) * kDegrees};
  }
  // Y on a pole: X and Z turn about one axis; all of the turn goes to X.
  const double sy = r.rows[0].z < 0 ? 1.0 : -1.0;
  return {std::atan2(sy * r.rows[1].x, r.rows[1].y) * kDegrees, y * kDegrees, 0.0};
}

Matrix43 rotation_xyz(Euler angles) {
  const double x = angles.x / kDegrees, y = angles.y / kDegrees, z = angles.z / kDegrees;
  Matrix43 rx, ry, rz;
  rx.rows[1] = {0, std::cos(x), std::sin(x)};
  rx.rows[2] = {0, -std::sin(x), std::cos(x)};
  ry.rows[0] = {std::cos(y), 0, -std::sin(y)};
  ry.rows[2] = {std::sin(y), 0, std::cos(y)};
  rz.rows[0] = {std::cos(z), std::sin(z), 0};
  rz.rows[1] = {-std::sin(z), std::cos(z), 0};
  return rx * ry * rz;
}

Euler nearest_equivalent(Euler angles, Euler previous) {
  // Every rotation has two sets of XYZ angles (and their whole turns): the
  // second turns X and Z by half a turn and mirrors Y.
  const Euler first{nearest_turn(angles.x, previous.x), nearest_turn(angles.y, previous.y),
                    nearest_turn(angles.z, previous.z)};
  const Euler second{nearest_turn(angles.x + 180.0, previous.x), nearest_turn(180.0 - angles.y, previous.y),
                     nearest_turn(angles.z + 180.0, previous.z)};
  return distance(second, previous) < distance(first, previous) ? second : first;
}

Quaternion quaternion_of(const Matrix43& r) {
  // Shepperd's method on the column-vector matrix (the transpose of the rows):
  // the largest of the four candidates is divided by, so none is lost.
  const double m00 = r.rows[0].x, m11 = r.rows[1].y, m22 = r.rows[2].z;
  const double m01 = r.rows[1].x, m10 = r.rows[0].y, m02 = r.rows[2].x, m20 = r.rows[0].z;
  const double m12 = r.rows[2].y, m21 = r.rows[1].z;
  const double trace = m00 + m11 + m22;
  Quaternion q;
  if (trace >= m00 && trace >= m11 && trace >= m22) {
    const double s = 2.0 * std::sqrt(std::max(0.0, 1.0 + trace));
    q = {s / 4, (m21 - m12) / s, (m02 - m20) / s, (m10 - m01) / s};
  } else if (m00 >= m11 && m00 >= m22) {
    const double s = 2.0 * std::sqrt(std::max(0.0, 1.0 + m00 - m11 - m22));
    q = {(m21 - m12) / s, s / 4, (m01 + m10) / s, (m02 + m20) / s};
  } else if (m11 >= m22) {
    const double s = 2.0 * std::sqrt(std::max(0.0, 1.0 + m11 - m00 - m22));
    q = {(m02 - m20) / s, (m01 + m10) / s, s / 4, (m12 + m21) / s};
  } else {
    const double s = 2.0 * std::sqrt(std::max(0.0, 1.0 + m22 - m00 - m11));
    q = {(m10 - m01) / s, (m02 + m20) / s, (m12 + m21) / s, s / 4};
  }
  return q;
}

Matrix43 matrix_of(Quaternion q) {
  const double n = q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z;
  const double s = n > 0 ? 2.0 / n : 0.0;
  const double xx = q.x * q.x * s, yy = q.y * q.y * s, zz = q.z * q.z * s;
  const double xy = q.x * q.y * s, xz = q.x * q.z * s, yz = q.y * q.z * s;
  const double wx = q.w * q.x * s, wy = q.w * q.y * s, wz = q.w * q.z * s;
  Matrix43 m;  // Rows: the transpose of the column-vector matrix.
  m.rows[0] = {1 - yy - zz, xy + wz, xz - wy};
  m.rows[1] = {xy - wz, 1 - xx - zz, yz + wx};
  m.rows[2] = {xz + wy, yz - wx, 1 - xx - yy};
  return m;
}

double turn_between(const Matrix43& a, const Matrix43& b) {
  // The turn from a to b is a^T * b; its trace is 1 + 2 cos(angle), and its
  // antisymmetric part holds 2 sin(angle) times the axis.
  const auto element = [&](int i, int j) {
    const auto pick = [](Vec3 v, int k) { return k == 0 ? v.x : k == 1 ? v.y : v.z; };
    return pick(a.rows[0], i) * pick(b.rows[0], j) + pick(a.rows[1], i) * pick(b.rows[1], j) +
           pick(a.rows[2], i) * pick(b.rows[2], j);
  };
  const double trace = element(0, 0) + element(1, 1) + element(2, 2);
  const Vec3 twice_sin_axis{element(1, 2) - element(2, 1), element(2, 0) - element(0, 2),
                            element(0, 1) - element(1, 0)};
  return std::atan2(0.5 * std::sqrt(dot(twice_sin_axis, twice_sin_axis)), 0.5 * (trace - 1.0));
}

Euler follow_turn(const Matrix43& start, Euler start_angles, Vec3 axis, double angle) {
  constexpr double kLargestStep = 30.0 / kDegrees;
  const double steps = std::ceil(std::fabs(angle) / kLargestStep);
  // A turn too large to follow (or not a number) ends where it ends.
  if (!(steps <= 1e6))
    return nearest_equivalent(euler_xyz(start * axis_angle_rows(axis, angle)), start_angles);
  Euler angles = start_angles;
  const int count = std::max(1, static_cast<int>(steps));
  for (int step = 1; step <= count; ++step) {
    const Matrix43 rotation = start * axis_angle_rows(axis, angle * step / count);
    angles = nearest_equivalent(euler_xyz(rotation), angles);
  }
  return angles;
}

Matrix43 stretch_matrix(Vec3 factors, Vec3 axis, double angle) {
  const Matrix43 turn = axis_angle_rows(axis, angle);
  Matrix43 scaling;
  scaling.rows[0] = {factors.x, 0, 0};
  scaling.rows[1] = {0, factors.y, 0};
  scaling.rows[2] = {0, 0, factors.z};
  Matrix43 unturn;  // The inverse of a rotation is its transpose.
  unturn.rows[0] = {turn.rows[0].x, turn.rows[1].x, turn.rows[2].x};
  unturn.rows[1] = {turn.rows[0].y, turn.rows[1].y, turn.rows[2].y};
  unturn.rows[2] = {turn.rows[0].z, turn.rows[1].z, turn.rows[2].z};
  return unturn * scaling * turn;
}

bool stretches_along_own_axes(const Matrix43& m) {
  for (int i = 0; i < 3; ++i) {
    for (int j = i + 1; j < 3; ++j) {
      const Vec3 a = m.rows[static_cast<std::size_t>(i)], b = m.rows[static_cast<std::size_t>(j)];
      const double length_a = std::sqrt(dot(a, a)), length_b = std::sqrt(dot(b, b));
      // Relative to the rows, and the rounding of four decimals in each of them.
      if (!(std::fabs(dot(a, b)) <= 1e-3 * length_a * length_b + 1e-4 * (length_a + length_b))) return false;
    }
  }
  return true;
}

Matrix43 polar_rotation(const Matrix43& m) {
  // Higham's iteration: the average of a matrix and its inverse transpose
  // converges to the orthogonal factor of its polar decomposition.
  Matrix43 q = m;
  q.rows[3] = {};
  for (int iteration = 0; iteration < 64; ++iteration) {
    const std::optional<Matrix43> inv = inverse(q);
    if (!inv) break;
    Matrix43 next;
    next.rows[0] = (q.rows[0] + Vec3{inv->rows[0].x, inv->rows[1].x, inv->rows[2].x}) * 0.5;
    next.rows[1] = (q.rows[1] + Vec3{inv->rows[0].y, inv->rows[1].y, inv->rows[2].y}) * 0.5;
    next.rows[2] = (q.rows[2] + Vec3{inv->rows[0].z, inv->rows[1].z, inv->rows[2].z}) * 0.5;
    double change = 0.0;
    for (int row = 0; row < 3; ++row) {
      const Vec3 d = next.rows[static_cast<std::size_t>(row)] - q.rows[static_cast<std::size_t>(row)];
      change = std::max(change, dot(d, d));
    }
    q = next;
    if (change < 1e-30) break;
  }
  return q;
}

std::optional<Channels> decompose(const Matrix43& m) {
  if (!inverse(m)) return std::nullopt;
  // A mirror is taken out as -1 on every axis, as 3ds Max decomposes it.
  const double sign = m.determinant() < 0 ? -1.0 : 1.0;
  // Gram-Schmidt over the rows, in order: row 0 gives the X scale and axis,
  // what row 1 has beyond it the Y scale and the shear xy, and so on.
  Channels channels;
  Matrix43 rotation;
  const Vec3 r0 = m.rows[0] * sign, r1 = m.rows[1] * sign, r2 = m.rows[2] * sign;
  channels.scale.x = std::sqrt(dot(r0, r0));
  rotation.rows[0] = r0 * (1.0 / channels.scale.x);
  const double along0 = dot(r1, rotation.rows[0]);
  const Vec3 u = r1 - rotation.rows[0] * along0;
  channels.scale.y = std::sqrt(dot(u, u));
  // What row 1 has beyond row 0 may be too small for its square even where
  // the rows' own squares are not: such a matrix has no channels.
  if (!(channels.scale.y > 0.0)) return std::nullopt;
  rotation.rows[1] = u * (1.0 / channels.scale.y);
  const double w0 = dot(r2, rotation.rows[0]), w1 = dot(r2, rotation.rows[1]);
  const Vec3 w = r2 - rotation.rows[0] * w0 - rotation.rows[1] * w1;
  channels.scale.z = std::sqrt(dot(w, w));
  if (!(channels.scale.z > 0.0)) return std::nullopt;
  rotation.rows[2] = w * (1.0 / channels.scale.z);
  channels.shear = {along0 / channels.scale.y, w0 / channels.scale.z, w1 / channels.scale.z};
  channels.scale = channels.scale * sign;
  channels.rotate = euler_xyz(rotation);
  channels.translate = m.rows[3];
  return channels;
}

std::optional<Channels> decompose_about(const Matrix43& m, const Matrix43& rotation) {
  Matrix43 unturned = m;  // m * rotation^T: what is left once the rotation is taken out.
  for (std::size_t row = 0; row < 3; ++row) {
    const Vec3 r = m.rows[row];
    unturned.rows[row] = {dot(r, rotation.rows[0]), dot(r, rotation.rows[1]), dot(r, rotation.rows[2])};
  }
  std::optional<Channels> channels = decompose(unturned);
  if (!channels) return std::nullopt;
  channels->rotate_axis = channels->rotate;
  channels->rotate = euler_xyz(rotation);
  return channels;
}

Matrix43 compose(const Channels& c) {
  Matrix43 stretch;
  stretch.rows[0] = {c.scale.x, 0, 0};
  stretch.rows[1] = Vec3{c.shear.x, 1, 0} * c.scale.y;
  stretch.rows[2] = Vec3{c.shear.y, c.shear.z, 1} * c.scale.z;
  Matrix43 m = stretch * rotation_xyz(c.rotate_axis) * rotation_xyz(c.rotate);
  m.rows[3] = c.translate;
  return m;
}

}  // namespace kestrun
