// Curves played back as Maya evaluates them, for the animated meshes that
// must come out where the file has them.
#include "extended/curve_playback.h"

#include <gtest/gtest.h>

#include <numbers>

namespace kestrun::extended {
namespace {

TEST(CurvePlayback, KeysHoldOutsideStepAndFollowTheirTangentsBetween) {
  const std::vector<CurveKey> keys = {{10, 1.0, Tangent::Linear, Tangent::Step},
                                      {20, 5.0, Tangent::Linear, Tangent::Linear},
                                      {30, 7.0, Tangent::Fixed, Tangent::Fixed, 0.0F, 0.0F},
                                      {40, 9.0, Tangent::Fixed, Tangent::Fixed, 30.0F, 0.0F}};
  constexpr double kFps = 30.0;
  EXPECT_EQ(curve_value(keys, 0, kFps), 1.0);
  EXPECT_EQ(curve_value(keys, 19.9, kFps), 1.0);  // A step holds until the next key.
  EXPECT_EQ(curve_value(keys, 20, kFps), 5.0);
  EXPECT_EQ(curve_value(keys, 50, kFps), 9.0);
  // Linear out of 20, flat into 30: a Hermite with the line's slope at its start.
  EXPECT_NEAR(curve_value(keys, 25, kFps), 0.5 * 5.0 + 0.125 * 2.0 + 0.5 * 7.0 - 0.125 * 0.0, 1e-12);
  // 30 a second at 30 frames a second is one a frame: over ten frames, ten at the end.
  EXPECT_NEAR(curve_value(keys, 35, kFps), 0.5 * 7.0 + 0.5 * 9.0 - 0.125 * 10.0, 1e-12);
}

TEST(CurvePlayback, ALocalMatrixTakesTheDrivenChannelsFromTheirCurves) {
  Channels still;
  still.translate = {1, 2, 3};
  still.scale = {2, 2, 2};
  const std::vector<Curve> curves = {{"tx", {{0, 0.0}, {10, 10.0}}}, {"rz", {{0, 0.0}, {10, 90.0}}}};
  Channels expected = still;
  expected.translate.x = 5.0;
  expected.rotate.z = 45.0;
  const Matrix43 got = local_at(still, curves, 5.0, 24.0);
  const Matrix43 want = compose(expected);
  for (std::size_t row = 0; row < 4; ++row) {
    EXPECT_NEAR(got.rows[row].x, want.rows[row].x, 1e-12);
    EXPECT_NEAR(got.rows[row].y, want.rows[row].y, 1e-12);
    EXPECT_NEAR(got.rows[row].z, want.rows[row].z, 1e-12);
  }
}

}  // namespace
}  // namespace kestrun::extended
