// Axis and angle, as exported, into the Euler angles a transform takes.
#include "flat/rotation.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <string>

#include "base/format.h"

namespace kestrun::flat {
namespace {

std::string euler_text(float x, float y, float z, float angle) {
  const EulerAngles r = axis_angle_to_euler(x, y, z, angle);
  return format_string("%f %f %f", r.x, r.y, r.z);
}

const float kQuarterTurn = static_cast<float>(std::numbers::pi / 2);

TEST(AxisAngleToEuler, DocumentedRotationsComeOutExactly) {
  const struct {
    float x, y, z, angle;
    const char* expected;
  } cases[] = {{0, 0, 0, 0, "0.000000 0.000000 0.000000"},
               {0, 0, 1, kQuarterTurn, "0.000000 -0.000000 -90.000000"},
               {0, 0, 1, 1.5708F, "0.000000 -0.000000 -90.000206"},
               {0, 0, 1, 1, "0.000000 -0.000000 -57.295780"},
               {0, 0, 1, 3, "0.000000 -0.000000 -171.887344"},
               {1, 0, 0, 0.5F, "-28.647890 -0.000000 0.000000"},
               {0, 1, 0, kQuarterTurn, "-0.000000 -90.000000 -0.000000"},
               {0, 0, 2, 1, "0.000000 -0.000000 -57.295780"},
               {1, 2, 3, 0, "0.000000 -0.000000 0.000000"},
               // A zero axis has no rotation, whatever the angle; any other length counts.
               {0, 0, 0, 2.5F, "0.000000 0.000000 0.000000"},
               {-0.0F, 0, 0, 1, "0.000000 0.000000 0.000000"},
               {std::numeric_limits<float>::denorm_min(), 0, 0, 0.5F, "-28.647890 -0.000000 0.000000"}};
  for (const auto& c : cases) {
    EXPECT_EQ(euler_text(c.x, c.y, c.z, c.angle), c.expected)
        << c.x << " " << c.y << " " << c.z << " " << c.angle;
  }
}

using Matrix = std::array<std::array<double, 3>, 3>;

/// The rotation matrix for column vectors of Rz(z) * Ry(y) * Rx(x), angles in degrees.
Matrix euler_matrix(const EulerAngles& e) {
  const double rad = std::numbers::pi / 180.0;
  const double cx = std::cos(e.x * rad), sx = std::sin(e.x * rad);
  const double cy = std::cos(e.y * rad), sy = std::sin(e.y * rad);
  const double cz = std::cos(e.z * rad), sz = std::sin(e.z * rad);
  return {{{cz * cy, cz * sy * sx - sz * cx, cz * sy * cx + sz * sx},
           {sz * cy, sz * sy * sx + cz * cx, sz * sy * cx - cz * sx},
           {-sy, cy * sx, cy * cx}}};
}

/// The rotation by `angle` about the unit axis, for column vectors (Rodrigues).
Matrix axis_matrix(double x, double y, double z, double angle) {
  const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
  return {{{t * x * x + c, t * x * y - s * z, t * x * z + s * y},
           {t * x * y + s * z, t * y * y + c, t * y * z - s * x},
           {t * x * z - s * y, t * y * z + s * x, t * z * z + c}}};
}

TEST(AxisAngleToEuler, EulerAnglesRotateLikeTheNegatedAxisAngle) {
  std::mt19937 random(5);
  std::uniform_real_distribution<float> component(-1, 1);
  std::uniform_real_distribution<float> angle_of(-3, 3);
  int checked = 0;
  for (int i = 0; i < 20000; ++i) {
    const float x = component(random), y = component(random), z = component(random);
    const float angle = angle_of(random);
    const double length = std::sqrt(double{x} * x + double{y} * y + double{z} * z);
    if (length < 0.1) continue;
    const EulerAngles e = axis_angle_to_euler(x, y, z, angle);
    if (std::fabs(std::cos(e.y * std::numbers::pi / 180)) <= 0.01) continue;  // The pole band folds X into Z.
    const Matrix expected = axis_matrix(x / length, y / length, z / length, -double{angle});
    const Matrix actual = euler_matrix(e);
    for (int cell = 0; cell < 9; ++cell) {
      ASSERT_NEAR(actual[cell / 3][cell % 3], expected[cell / 3][cell % 3], 2e-4) << i;
    }
    ++checked;
  }
  EXPECT_GT(checked, 10000);
}

TEST(AxisAngleToEuler, HostileAxesGiveNoFault) {
  // Only the absence of traps and sanitizer reports is checked here.
  const float inf = std::numeric_limits<float>::infinity();
  const float huge = std::numeric_limits<float>::max();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float axes[][4] = {{huge, huge, huge, 1}, {std::numeric_limits<float>::denorm_min(), 0, 0, 1},
                           {inf, 0, 0, 1},        {nan, 1, 1, 1},
                           {1, 0, 0, inf},        {1, 0, 0, huge}};
  for (const auto& a : axes) euler_text(a[0], a[1], a[2], a[3]);
}

}  // namespace
}  // namespace kestrun::flat
