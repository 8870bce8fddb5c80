#include "convert/rotation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>

#include "maya/format.h"

namespace kestrun {
namespace {

std::string euler_text(float x, float y, float z, float angle) {
  const EulerAngles r = axis_angle_to_euler(x, y, z, angle);
  return format_string("%f %f %f", r.x, r.y, r.z);
}

const float kQuarterTurn = static_cast<float>(std::numbers::pi / 2);

struct RotationCase {
  float x, y, z, angle;
  const char* expected;
};

class DocumentedRotation : public ::testing::TestWithParam<RotationCase> {};

TEST_P(DocumentedRotation, ComesOutExactly) {
  const RotationCase& c = GetParam();
  EXPECT_EQ(euler_text(c.x, c.y, c.z, c.angle), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, DocumentedRotation,
    ::testing::Values(RotationCase{0, 0, 0, 0, "0.000000 0.000000 0.000000"},
                      RotationCase{0, 0, 1, kQuarterTurn, "0.000000 -0.000000 -90.000000"},
                      RotationCase{0, 0, 1, 1.5708F, "0.000000 -0.000000 -90.000206"},
                      RotationCase{0, 0, 1, 1, "0.000000 -0.000000 -57.295780"},
                      RotationCase{0, 0, 1, 3, "0.000000 -0.000000 -171.887344"},
                      RotationCase{1, 0, 0, 0.5F, "-28.647890 -0.000000 0.000000"},
                      RotationCase{0, 1, 0, kQuarterTurn, "-0.000000 -90.000000 -0.000000"},
                      RotationCase{0, 0, 2, 1, "0.000000 -0.000000 -57.295780"},
                      RotationCase{1, 2, 3, 0, "0.000000 -0.000000 0.000000"},
                      // A zero axis has no rotation, whatever the angle.
                      RotationCase{0, 0, 0, 2.5F, "0.000000 0.000000 0.000000"},
                      RotationCase{-0.0F, 0, 0, 1, "0.000000 0.000000 0.000000"}));

/// The rotation matrix for column vectors of Rz(z) * Ry(y) * Rx(x), angles in degrees.
std::array<std::array<double, 3>, 3> euler_matrix(const EulerAngles& e) {
  const double rad = std::numbers::pi / 180.0;
  const double cx = std::cos(e.x * rad), sx = std::sin(e.x * rad);
  const double cy = std::cos(e.y * rad), sy = std::sin(e.y * rad);
  const double cz = std::cos(e.z * rad), sz = std::sin(e.z * rad);
  return {{{cz * cy, cz * sy * sx - sz * cx, cz * sy * cx + sz * sx},
           {sz * cy, sz * sy * sx + cz * cx, sz * sy * cx - cz * sx},
           {-sy, cy * sx, cy * cx}}};
}

/// The rotation by `angle` about the unit axis, for column vectors (Rodrigues).
std::array<std::array<double, 3>, 3> axis_matrix(double x, double y, double z, double angle) {
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
    const auto expected = axis_matrix(x / length, y / length, z / length, -double{angle});
    const auto actual = euler_matrix(e);
    for (int row = 0; row < 3; ++row) {
      for (int column = 0; column < 3; ++column) {
        ASSERT_NEAR(actual[row][column], expected[row][column], 2e-4) << i;
      }
    }
    ++checked;
  }
  EXPECT_GT(checked, 10000);
}

TEST(AxisAngleToEuler, HostileAxesGiveNoFault) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float huge = std::numeric_limits<float>::max();
  const float tiny = std::numeric_limits<float>::denorm_min();
  for (const auto& axis : {std::array<float, 4>{huge, huge, huge, 1},
                           {tiny, 0, 0, 1},
                           {inf, 0, 0, 1},
                           {nan, 1, 1, 1},
                           {1, 0, 0, inf},
                           {1, 0, 0, huge}}) {
    const EulerAngles r = axis_angle_to_euler(axis[0], axis[1], axis[2], axis[3]);
    (void)r;  // Only the absence of traps and sanitizer reports is checked here.
  }
  EXPECT_EQ(euler_text(tiny, 0, 0, 0.5F), "-28.647890 -0.000000 0.000000") << "any non-zero length counts";
}

}  // namespace
}  // namespace kestrun
