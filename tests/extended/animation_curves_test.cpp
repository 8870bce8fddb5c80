// A node's tracks as curves: hold keys where the exporter left out samples,
// keys on one frame merged, and rotations turned through their whole angle.
#include "extended/animation_curves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <utility>

namespace kestrun::extended {
namespace {

const Curve& curve_of(const std::vector<Curve>& curves, std::string_view attribute) {
  for (const Curve& curve : curves) {
    if (curve.attribute == attribute) return curve;
  }
  ADD_FAILURE() << "no curve " << attribute;
  return curves.front();
}

std::vector<std::pair<double, double>> frames_and_values(const Curve& curve) {
  std::vector<std::pair<double, double>> keys;
  for (const CurveKey& key : curve.keys) keys.emplace_back(key.frame, key.value);
  return keys;
}

TEST(AnimationCurves, ALeftOutSampleIsHeldUntilAStepBeforeTheNextAndOnlyInASampledTrack) {
  struct Case {
    KeyKind kind;
    std::vector<double> ticks;  // Values 1, 2, 3... on x.
    std::vector<std::pair<double, double>> keys;
  };
  const Case cases[] = {
      {KeyKind::Sample, {0, 160, 320}, {{0, 1}, {1, 2}, {2, 3}}},
      {KeyKind::Sample, {0, 160, 800}, {{0, 1}, {1, 2}, {4, 2}, {5, 3}}},
      {KeyKind::Sample, {0, 320, 480, 1280}, {{0, 1}, {1, 1}, {2, 2}, {3, 3}, {7, 3}, {8, 4}}},
      {KeyKind::Linear, {0, 160, 800}, {{0, 1}, {1, 2}, {5, 3}}}};
  for (const Case& c : cases) {
    NodeAnimation animation;
    animation.position.kind = c.kind;
    for (std::size_t i = 0; i < c.ticks.size(); ++i) {
      Key key;
      key.time = c.ticks[i];
      key.value = {static_cast<double>(i + 1), 0, 0};
      animation.position.keys.push_back(key);
    }
    Warnings warnings([](std::string_view) {});
    const std::vector<Curve> curves = build_curves(animation, Matrix43{}, SceneTiming{}, warnings);
    EXPECT_EQ(frames_and_values(curve_of(curves, "tx")), c.keys) << c.ticks.back();
  }
}

TEST(AnimationCurves, KeysWrittenAtOneFrameAreMergedIntoTheLaterWithAWarning) {
  struct Case {
    double first, second;
    bool merged;
  };
  for (const Case c : {Case{1, 1, true}, Case{1, 1 + 1e-7, true}, Case{1, 1.00001, false},
                       Case{1000, 1000.00001, true}, Case{1000, 1000.001, false}}) {
    SCOPED_TRACE(c.second);
    std::vector<Curve> curves = {{"tx", {{0, 0.0}, {c.first, 1.0}, {c.second, 2.0}, {5, 3.0}}}};
    std::vector<std::string> told;
    Warnings warnings([&told](std::string_view line) { told.emplace_back(line); });
    merge_keys_at_one_frame(curves, warnings);
    warnings.flush("Box01");
    const std::vector<std::pair<double, double>> merged = {{0, 0}, {c.second, 2}, {5, 3}};
    const std::vector<std::pair<double, double>> apart = {{0, 0}, {c.first, 1}, {c.second, 2}, {5, 3}};
    EXPECT_EQ(frames_and_values(curves[0]), c.merged ? merged : apart);
    EXPECT_EQ(told.size(), c.merged ? 1U : 0U);
  }
}

TEST(AnimationCurves, ARotationKeyTurnsThroughItsWholeAngleTheWayTheFileTurns) {
  struct Case {
    Vec3 axis;
    double degrees;
    std::string_view attribute;
    double end;  // Degrees, straight from 0: the exporter's angles turn the other way from Maya's.
  };
  for (const Case c : {Case{{1, 0, 0}, 720, "rx", -720}, Case{{0, 0, 1}, 180.0004, "rz", -180.0004},
                       Case{{0, 0, 1}, -180.0004, "rz", 180.0004}, Case{{1, 0, 0}, -1000, "rx", 1000}}) {
    SCOPED_TRACE(c.degrees);
    NodeAnimation animation;
    animation.rotation.kind = KeyKind::Linear;
    Key start, turn;
    start.value = {1, 0, 0};
    turn.time = 3200;
    turn.value = c.axis;
    turn.angle = c.degrees * std::numbers::pi / 180;
    animation.rotation.keys = {start, turn};
    Warnings warnings([](std::string_view) {});
    const std::vector<Curve> curves = build_curves(animation, Matrix43{}, SceneTiming{}, warnings);
    const Curve& curve = curve_of(curves, c.attribute);
    ASSERT_GE(curve.keys.size(), 2U);
    EXPECT_EQ(curve.keys.front().value, 0.0);
    EXPECT_NEAR(curve.keys.back().value, c.end, 1e-9);
    EXPECT_EQ(curve.keys.back().frame, 20.0);
  }
}

}  // namespace
}  // namespace kestrun::extended
