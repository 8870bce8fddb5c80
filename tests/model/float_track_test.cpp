// A float controller played back and read as a visibility: where it turns
// the node on and off.
#include "model/float_track.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrun {
namespace {

FloatTrack track(KeyKind kind, std::vector<FloatKey> keys) { return {kind, std::move(keys)}; }

FloatKey key(double tick, double value, double in = 0.0, double out = 0.0, unsigned flags = 0) {
  FloatKey k;
  k.time = tick;
  k.value = value;
  k.in_tangent = in;
  k.out_tangent = out;
  k.flags = flags;
  return k;
}

struct SwitchCase {
  const char* shows;
  FloatTrack track;
  std::vector<VisibilitySwitch> switches;
};

TEST(FloatTrack, VisibilityChangesWhereTheValueCrossesZero) {
  constexpr unsigned kStepOut = 2U << 10;
  const SwitchCase cases[] = {
      {"no keys: nothing", track(KeyKind::Linear, {}), {}},
      {"one key at 0: hidden throughout", track(KeyKind::Linear, {key(80, 0.0)}), {{80, false}}},
      {"a fall through 0 hides the node from the tick it reaches 0",
       track(KeyKind::Linear, {key(0, 1.0), key(320, -1.0)}),
       {{0, true}, {160, false}}},
      {"a rise from 0 shows it a tick later: at 0 itself it is hidden",
       track(KeyKind::Sample, {key(0, 0.0), key(160, 1.0)}),
       {{0, false}, {1, true}}},
      {"a step out tangent holds the value until the next key",
       track(KeyKind::Bezier, {key(0, 0.0, 0, 0, kStepOut), key(480, 1.0)}),
       {{0, false}, {480, true}}},
      {"a Bezier dip below 0 between two keys above it hides the node between the crossings",
       track(KeyKind::Bezier, {key(0, 1.0, 0, -0.05), key(100, 1.0, 0.05, 0)}),
       // 1 - 5s + 5s^2 over s = tick / 100: 0 at s = (5 -+ sqrt 5) / 10.
       {{0, true}, {27.639320225002102, false}, {72.360679774997898 + 1, true}}},
      {"a value that stays above 0 never hides it",
       track(KeyKind::Tcb, {key(0, 0.5), key(160, 2.0), key(320, 0.5)}),
       {{0, true}}},
  };
  for (const SwitchCase& c : cases) {
    SCOPED_TRACE(c.shows);
    const std::vector<VisibilitySwitch> got = visibility_switches(c.track);
    ASSERT_EQ(got.size(), c.switches.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_NEAR(got[i].tick, c.switches[i].tick, 1e-6) << i;
      EXPECT_EQ(got[i].visible, c.switches[i].visible) << i;
    }
  }
}

TEST(FloatTrack, ValuesHoldOutsideTheKeysAndFollowEachKindBetweenThem) {
  const FloatTrack linear = track(KeyKind::Linear, {key(100, 2.0), key(200, 4.0)});
  EXPECT_EQ(float_at(linear, 0), 2.0);
  EXPECT_EQ(float_at(linear, 150), 3.0);
  EXPECT_EQ(float_at(linear, 900), 4.0);
  // Bezier tangents are slopes per tick: flat at both ends, the middle is halfway.
  const FloatTrack eased = track(KeyKind::Bezier, {key(0, 0.0), key(100, 1.0)});
  EXPECT_NEAR(float_at(eased, 50), 0.5, 1e-12);
  EXPECT_NEAR(float_at(eased, 25), 0.15625, 1e-12);
  // TCB keys: the middle key's slope runs from its neighbour before to the one after.
  const FloatTrack spline = track(KeyKind::Tcb, {key(0, 0.0), key(100, 1.0), key(200, 0.0)});
  EXPECT_NEAR(float_at(spline, 100), 1.0, 1e-12);
  EXPECT_NEAR(float_at(spline, 150), float_at(spline, 50), 1e-12);
}

}  // namespace
}  // namespace kestrun
