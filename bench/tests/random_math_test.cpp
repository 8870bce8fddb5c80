#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "gen/random.h"
#include "gen/vec_math.h"

namespace kestrun::scenegen {
namespace {

std::vector<std::int64_t> draws(std::uint64_t seed, int count) {
  Random random(seed);
  std::vector<std::int64_t> values;
  for (int i = 0; i < count; ++i) values.push_back(random.uniform(-1'000'000, 1'000'000));
  return values;
}

TEST(Random, SameSeedSameValuesOtherSeedOtherValues) {
  EXPECT_EQ(draws(5, 100), draws(5, 100));
  EXPECT_NE(draws(5, 100), draws(6, 100));
}

TEST(Random, StreamsOfNeighbouringNodesDiffer) {
  std::set<std::uint64_t> seeds;
  for (std::uint64_t index = 0; index < 100; ++index) {
    seeds.insert(stream_seed(1, Stream::kGeometry, index));
    seeds.insert(stream_seed(1, Stream::kLight, index));
    seeds.insert(stream_seed(2, Stream::kGeometry, index));
  }
  EXPECT_EQ(seeds.size(), 300u);
}

TEST(Random, UniformCoversItsClosedRangeOnly) {
  Random random(3);
  std::set<std::int64_t> seen;
  for (int i = 0; i < 2000; ++i) {
    const std::int64_t value = random.uniform(-3, 3);
    ASSERT_GE(value, -3);
    ASSERT_LE(value, 3);
    seen.insert(value);
  }
  EXPECT_EQ(seen.size(), 7u);
}

TEST(VecMath, SinCosAgreesWithTheLibrary) {
  for (double angle = -4.0; angle <= 4.0; angle += 0.001) {
    const SinCos turn = sin_cos(angle);
    ASSERT_NEAR(turn.sin, std::sin(angle), 1e-13) << angle;
    ASSERT_NEAR(turn.cos, std::cos(angle), 1e-13) << angle;
  }
}

TEST(VecMath, RandomDirectionsAreUnitAndSpread) {
  Random random(4);
  Vec3 sum;
  for (int i = 0; i < 4000; ++i) {
    const Vec3 v = random_unit_vector(random);
    ASSERT_NEAR(length(v), 1.0, 1e-12);
    sum = sum + v;
  }
  EXPECT_LT(length(sum) / 4000.0, 0.05);  // no preferred direction
}

TEST(VecMath, RotationRowsAreOrthonormalAndKeepTheAxis) {
  Random random(5);
  for (int i = 0; i < 200; ++i) {
    const Vec3 axis = random_unit_vector(random);
    const double angle = static_cast<double>(random.uniform(0, 31415)) / 10000.0;
    const auto rows = rotation_rows(axis, angle);
    for (int r = 0; r < 3; ++r) {
      EXPECT_NEAR(length(rows[r]), 1.0, 1e-12);
      const Vec3& next = rows[(r + 1) % 3];
      EXPECT_NEAR(rows[r].x * next.x + rows[r].y * next.y + rows[r].z * next.z, 0.0, 1e-12);
    }
    // R * axis = axis: the axis is the one direction the rotation leaves alone.
    EXPECT_NEAR(rows[0].x * axis.x + rows[0].y * axis.y + rows[0].z * axis.z, axis.x, 1e-12);
    EXPECT_NEAR(rows[1].x * axis.x + rows[1].y * axis.y + rows[1].z * axis.z, axis.y, 1e-12);
    // The trace of a rotation is 1 + 2 cos(angle).
    EXPECT_NEAR(rows[0].x + rows[1].y + rows[2].z, 1.0 + 2.0 * std::cos(angle), 1e-12);
  }
}

TEST(VecMath, FlatFaceStillGetsAUnitNormal) {
  const Vec3 normal = normalized(cross(Vec3{1, 2, 3}, Vec3{2, 4, 6}));
  EXPECT_DOUBLE_EQ(length(normal), 1.0);
}

}  // namespace
}  // namespace kestrun::scenegen
