// The transform maths and the file's motion: decomposition, turns followed
// through their whole angle, stretches, and keys that hold a turn.
#include "model/motion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "extended/channel_keys.h"

namespace kestrun {
namespace {

constexpr double kPi = std::numbers::pi;

double largest_difference(const Matrix43& a, const Matrix43& b) {
  double off = 0.0;
  for (std::size_t row = 0; row < 4; ++row) {
    const Vec3 d = a.rows[row] - b.rows[row];
    off = std::max({off, std::fabs(d.x), std::fabs(d.y), std::fabs(d.z)});
  }
  return off;
}

Vec3 random_vector(std::mt19937& random, double low, double high) {
  std::uniform_real_distribution<double> value(low, high);
  return {value(random), value(random), value(random)};
}

Key rotation_key(double tick, Vec3 axis, double angle) {
  Key key;
  key.time = tick;
  key.value = axis;
  key.angle = angle;
  return key;
}

TEST(TransformMath, DecomposeThenComposeGivesTheMatrixBackAndAMirrorIsNegativeOnEveryAxis) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 500; ++trial) {
    Matrix43 m;
    for (std::size_t row = 0; row < 4; ++row) m.rows[row] = random_vector(random, -3, 3);
    const std::optional<Channels> channels = decompose(m);
    if (!channels) continue;
    EXPECT_LT(largest_difference(compose(*channels), m), 1e-9) << trial;
    const bool mirrors = m.determinant() < 0;
    EXPECT_EQ(channels->scale.x < 0, mirrors);
    EXPECT_EQ(channels->scale.y < 0, mirrors);
    EXPECT_EQ(channels->scale.z < 0, mirrors);
  }
}

TEST(TransformMath, ARotationKeptApartLeavesTheStretchToScaleShearAndRotateAxis) {
  const Matrix43 turn = axis_angle_rows({1, -2, 0.5}, 2.0);
  for (const double mirror : {1.0, -1.0}) {
    Matrix43 m = stretch_matrix({2, 1, 0.5}, {0, 1, 1}, 0.6) * turn;
    for (Vec3& row : m.rows) row = row * mirror;
    m.rows[3] = {4, 5, 6};
    const std::optional<Channels> channels = decompose_about(m, turn);
    ASSERT_TRUE(channels);
    EXPECT_LT(largest_difference(rotation_xyz(channels->rotate), turn), 1e-12);
    EXPECT_LT(largest_difference(compose(*channels), m), 1e-12) << mirror;
    EXPECT_GT(std::fabs(channels->rotate_axis.x) + std::fabs(channels->rotate_axis.y), 1.0);
  }
}

TEST(TransformMath, EulerAnglesGiveTheirRotationBackAndNearestEquivalentsNeverJumpATurn) {
  std::mt19937 random(18);
  for (int round = 0; round < 500; ++round) {
    // Any rotation, near the gimbal poles (y of +-90 degrees) too.
    const Vec3 axis = random_vector(random, -1, 1);
    const double angle = std::uniform_real_distribution<double>(-4 * kPi, 4 * kPi)(random);
    const Matrix43 rotation = round % 10 == 0
                                  ? rotation_xyz({30.0 * round, round % 20 == 0 ? 90.0 : -90.0, -15.0})
                                  : axis_angle_rows(axis, angle);
    const Euler angles = euler_xyz(rotation);
    EXPECT_LT(largest_difference(rotation_xyz(angles), rotation), 1e-9) << round;
    // Unwrapped next to any earlier angles: the same rotation, no component a turn or more away.
    const Vec3 previous_v = random_vector(random, -1000, 1000);
    const Euler previous{previous_v.x, previous_v.y, previous_v.z};
    const Euler near = nearest_equivalent(angles, previous);
    EXPECT_LT(largest_difference(rotation_xyz(near), rotation), 1e-9) << round;
    EXPECT_LE(std::fabs(near.x - previous.x), 180 + 1e-9) << round;
    EXPECT_LE(std::fabs(near.y - previous.y), 180 + 1e-9) << round;
    EXPECT_LE(std::fabs(near.z - previous.z), 180 + 1e-9) << round;
  }
}

TEST(TransformMath, AQuaternionKeepsARotation) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> angle(-7, 7);
  for (int trial = 0; trial < 1000; ++trial) {
    // Half turns and near-identities are where a careless conversion divides by nothing.
    const double turn = trial % 10 == 0 ? kPi : trial % 10 == 1 ? 1e-9 : angle(random);
    const Matrix43 rotation = axis_angle_rows(random_vector(random, -1, 1), turn);
    EXPECT_LT(largest_difference(matrix_of(quaternion_of(rotation)), rotation), 1e-12) << trial;
  }
}

TEST(TransformMath, PolarRotationAndStretchesAlongOwnAxes) {
  const Matrix43 turn = axis_angle_rows({1, 2, 3}, 0.7);
  // A stretch along the node's own axes, rounded as exporters write rows.
  Matrix43 aligned = stretch_matrix({2, 0.5, 1}, {0, 0, 1}, 0) * turn;
  for (Vec3& row : aligned.rows)
    row = {std::round(row.x * 1e4) / 1e4, std::round(row.y * 1e4) / 1e4, std::round(row.z * 1e4) / 1e4};
  EXPECT_TRUE(stretches_along_own_axes(aligned));
  EXPECT_LT(largest_difference(polar_rotation(aligned), turn), 1e-3);
  // Along turned axes: factors 2 and 1 turned by 45 degrees.
  const Matrix43 turned = stretch_matrix({2, 1, 1}, {0, 0, 1}, kPi / 4) * turn;
  EXPECT_FALSE(stretches_along_own_axes(turned));
  EXPECT_LT(largest_difference(polar_rotation(turned), turn), 1e-12);
  // A quarter turn of the stretch's axes only swaps its factors.
  const Matrix43 swapped = stretch_matrix({2, 3, 1}, {0, 0, 1}, kPi / 2);
  EXPECT_TRUE(stretches_along_own_axes(swapped));
  EXPECT_NEAR(swapped.rows[0].x, 3, 1e-12);
  EXPECT_NEAR(swapped.rows[1].y, 2, 1e-12);
}

TEST(TransformMath, FollowingATurnKeepsItsDirectionAndWholeTurns) {
  struct Turn {
    Vec3 axis;
    double degrees;
  };
  for (const Turn turn : {Turn{{0, 0, 1}, 180.0004}, Turn{{0, 0, 1}, -180.0004}, Turn{{1, 0, 0}, 720},
                          Turn{{0, 1, 0}, 359}, Turn{{1, 1, 1}, 400}, Turn{{0, 1, 1}, -1000}}) {
    SCOPED_TRACE(turn.degrees);
    const double angle = turn.degrees * kPi / 180;
    const Euler end = follow_turn(Matrix43{}, Euler{}, turn.axis, angle);
    // The end is the turn's pose...
    EXPECT_LT(largest_difference(rotation_xyz(end), axis_angle_rows(turn.axis, angle)), 1e-9);
    // ...reached along it: the angles at every step of a degree are the
    // equivalent nearest the step before, and the last is where it ends.
    Euler along;
    const int steps = static_cast<int>(std::fabs(turn.degrees));
    for (int step = 1; step <= steps; ++step) {
      along = nearest_equivalent(euler_xyz(axis_angle_rows(turn.axis, angle * step / steps)), along);
    }
    EXPECT_NEAR(end.x, along.x, 1e-6);
    EXPECT_NEAR(end.y, along.y, 1e-6);
    EXPECT_NEAR(end.z, along.z, 1e-6);
  }
  // About one axis the turn is all on that axis, sign included: the
  // exporter's angles turn the other way from Maya's.
  EXPECT_NEAR(follow_turn(Matrix43{}, Euler{}, {0, 0, 1}, 180.0004 * kPi / 180).z, -180.0004, 1e-9);
  EXPECT_NEAR(follow_turn(Matrix43{}, Euler{}, {1, 0, 0}, 4 * kPi).x, -720, 1e-9);
}

TEST(Motion, ALateSampledTrackHoldsNoRotationAndSamplesTurnTheShortWay) {
  Track track{KeyKind::Sample, {}};
  track.keys = {rotation_key(2720, {0, 0, 1}, 0.5), rotation_key(2880, {0, 0, -1}, 2 * kPi - 0.1),
                rotation_key(3520, {0, 0, 1}, 0.2)};
  const std::vector<TurnPoint> points = turn_points(track, 0, 160);
  // No rotation at the first frame and until a step before the first sample;
  // a hold a step before the sample after the gap.
  ASSERT_EQ(points.size(), 6U);
  EXPECT_EQ(points[0].tick, 0);
  EXPECT_EQ(points[1].tick, 2560);
  EXPECT_LT(largest_difference(matrix_of(points[1].rotation), Matrix43{}), 1e-15);
  EXPECT_EQ(points[4].tick, 3360);
  EXPECT_LT(largest_difference(matrix_of(points[4].rotation), matrix_of(points[3].rotation)), 1e-15);
  // 359.4 degrees about -Z as a sample is 0.6 degrees about +Z.
  EXPECT_NEAR(points[3].angle, -0.1, 1e-12);
  EXPECT_NEAR(turning_between(points, 0, 4000), 0.5 + 0.1 + 0.2, 1e-12);
  // Halfway through a turn, half of it.
  EXPECT_LT(largest_difference(rotation_at(points, 2640), axis_angle_rows({0, 0, 1}, 0.25)), 1e-12);

  // Keys are not late and turn through their whole angle.
  track.kind = KeyKind::Linear;
  const std::vector<TurnPoint> keyed = turn_points(track, 0, 160);
  ASSERT_EQ(keyed.size(), 3U);
  EXPECT_NEAR(keyed[1].angle, 2 * kPi - 0.1, 1e-12);
}

TEST(Motion, KeysAreAddedWhereEulerAnglesWouldStrayFromTheTurn) {
  struct Case {
    Vec3 axis;
    double degrees;
    bool more_keys;
  };
  for (const Case c : {Case{{0, 0, 1}, 170, false}, Case{{1, 1, 1}, 90, true}, Case{{0, 1, 1}, 400, true}}) {
    SCOPED_TRACE(c.degrees);
    Track track{KeyKind::Linear, {}};
    track.keys = {rotation_key(0, {1, 0, 0}, 0), rotation_key(3200, c.axis, c.degrees * kPi / 180)};
    LocalMotion motion;
    motion.turns = turn_points(track, 0, 160);
    std::vector<extended::ChannelKey> keys;
    extended::follow_motion(motion, {0, 3200}, 160, extended::KeyedChannels::Rotation, Euler{},
                            extended::kKeyedTolerance,
                            [&keys](const extended::ChannelKey& key) { keys.push_back(key); });
    EXPECT_EQ(keys.size() > 2, c.more_keys);
    // Straight between keys, the angles hold the turn at every frame...
    for (double tick = 0; tick <= 3200; tick += 80) {
      std::size_t next = 1;
      while (keys[next].tick < tick) ++next;
      const extended::ChannelKey& a = keys[next - 1];
      const extended::ChannelKey& b = keys[next];
      const double s = (tick - a.tick) / (b.tick - a.tick);
      const Euler between{a.channels.rotate.x + (b.channels.rotate.x - a.channels.rotate.x) * s,
                          a.channels.rotate.y + (b.channels.rotate.y - a.channels.rotate.y) * s,
                          a.channels.rotate.z + (b.channels.rotate.z - a.channels.rotate.z) * s};
      const bool whole_frame = std::fmod(tick, 160) == 0;
      EXPECT_LT(turn_between(rotation_xyz(between), motion.at(tick)), whole_frame ? 1e-3 : 6e-3) << tick;
    }
    // ...and added keys fall on whole frames, but where a frame's turn alone strays.
    for (std::size_t k = 1; k + 1 < keys.size(); ++k) {
      if (keys[k + 1].tick - keys[k - 1].tick > 160) {
        EXPECT_EQ(std::fmod(keys[k].tick, 160), 0) << keys[k].tick;
      }
    }
  }
}

}  // namespace
}  // namespace kestrun
