#include "model/transform_math.h"

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

std::optional<Channels> decompose(const Matrix43& m) {
  if (!inverse(m)) return std::nullopt;
  // Gram-Schmidt over the rows, in order: row 0 gives the X scale and axis,
  // what row 1 has beyond it the Y scale and the shear xy, and so on.
  Channels channels;
  Matrix43 rotation;
  const Vec3 r0 = m.rows[0], r1 = m.rows[1], r2 = m.rows[2];
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
  if (rotation.determinant() < 0) {  // A mirror: the Z scale takes the sign.
    channels.scale.z = -channels.scale.z;
    rotation.rows[2] = rotation.rows[2] * -1.0;
  }
  channels.shear = {along0 / channels.scale.y, w0 / channels.scale.z, w1 / channels.scale.z};
  channels.rotate = euler_xyz(rotation);
  channels.translate = m.rows[3];
  return channels;
}

}  // namespace kestrun
