#include "flat/rotation.h"

#include <algorithm>
#include <cmath>

#include "base/number_limits.h"

namespace kestrun::flat {
namespace {

/// Degrees per radian as the format's readers write it (not 180/pi).
constexpr double kDegreesPerRadian = 57.29578;

/// Below this |cos Y| the rotation is taken as lying on a pole of Y.
constexpr double kPoleBand = 0.005;

/// Rounds an intermediate result to single precision.
float single(double value) { return narrow_to_float(value); }

}  // namespace

EulerAngles axis_angle_to_euler(float x, float y, float z, float angle) {
  if (x == 0.0F && y == 0.0F && z == 0.0F) {
    return EulerAngles{};  // No axis: no rotation, whatever the angle.
  }

  const float length = single(std::sqrt((double{x} * x + double{y} * y) + double{z} * z));
  const double nx = single(x / double{length});
  const double ny = single(y / double{length});
  const double nz = single(z / double{length});

  // The rotation matrix for row vectors; only the entries read below.
  const double c = std::cos(double{angle});
  const double s = std::sin(double{angle});
  const double t = 1.0 - c;
  const float m00 = single(c * (1.0 - nx * nx) + nx * nx);
  const float m01 = single(t * (nx * ny) + s * nz);
  const float m10 = single(t * (nx * ny) - s * nz);
  const float m11 = single(c * (1.0 - ny * ny) + ny * ny);
  const float m20 = single(t * (nz * nx) + s * ny);
  const float m21 = single(t * (ny * nz) - s * nx);
  const float m22 = single(c * (1.0 - nz * nz) + nz * nz);

  // Rounding can carry M20 just past +-1, outside the arc sine's domain.
  const float y_angle = single(-std::asin(double{std::clamp(m20, -1.0F, 1.0F)}));
  const float cos_y = single(std::cos(double{y_angle}));

  float x_angle = 0.0F;
  float z_angle = 0.0F;
  if (std::fabs(double{cos_y}) > kPoleBand) {
    const float x_sine = single(-double{m21} / cos_y);
    const float x_cosine = single(double{m22} / cos_y);
    const float z_sine = single(-double{m10} / cos_y);
    const float z_cosine = single(double{m00} / cos_y);
    x_angle = single(std::atan2(double{x_sine}, double{x_cosine}));
    z_angle = single(std::atan2(double{z_sine}, double{z_cosine}));
  } else {
    // On a pole X and Z turn about the same axis: fold X's turn into Z.
    z_angle = single(std::atan2(double{m01}, double{m11}));
  }

  const float x_degrees = single(x_angle * kDegreesPerRadian);
  const float y_degrees = single(y_angle * kDegreesPerRadian);
  const float z_degrees = single(z_angle * kDegreesPerRadian);
  return EulerAngles{single(x_degrees * -1.0), y_degrees, single(z_degrees * -1.0)};
}

}  // namespace kestrun::flat
