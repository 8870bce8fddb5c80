#include "gen/size_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "gen/out_buffer.h"
#include "gen/scene_writer.h"

namespace kestrun::scenegen {
namespace {

std::uint64_t scene_bytes(const ScenePlan& plan) {
  OutBuffer out = OutBuffer::counting(plan.crlf);
  write_scene(out, plan);
  return out.size();
}

struct FitCase {
  ScenePlan plan;
  std::uint64_t target;
};

class SizeFit : public ::testing::TestWithParam<FitCase> {};

// Sizes come in steps of one vertex in every object, which is coarse for small
// scenes: the fit must land within half a step of the target, plus 0.5%.
TEST_P(SizeFit, WholeSceneLandsWithinHalfAStep) {
  const FitCase& fit = GetParam();
  const ScenePlan plan = fit_to_size(fit.plan, fit.target, false);
  const double bytes = static_cast<double>(scene_bytes(plan));
  ScenePlan bigger = plan;
  ++bigger.vertices;
  const double step = static_cast<double>(scene_bytes(bigger)) - bytes;
  const double target = static_cast<double>(fit.target);
  EXPECT_NEAR(bytes, target, step / 2 + 0.005 * target)
      << plan.vertices << " vertices, " << plan.keys << " keys";
}

ScenePlan with(std::int64_t objects, std::int64_t keys, std::int64_t lights, std::int64_t cameras,
               bool crlf) {
  ScenePlan plan;
  plan.objects = objects;
  plan.keys = keys;
  plan.lights = lights;
  plan.cameras = cameras;
  plan.crlf = crlf;
  plan.seed = 99;
  return plan;
}

INSTANTIATE_TEST_SUITE_P(Targets, SizeFit,
                         ::testing::Values(FitCase{ScenePlan{}, 1'000'000}, FitCase{ScenePlan{}, 25'000'000},
                                           // One object this large is extrapolated, not measured.
                                           FitCase{with(1, 10, 2, 2, false), 40'000'000},
                                           FitCase{with(7, 50, 0, 5, true), 3'000'000}));

TEST(SizeFitKeys, SmallTargetsGetFewerKeysUnlessKeysAreFixed) {
  EXPECT_LT(fit_to_size(ScenePlan{}, 1'000'000, false).keys, 200);
  EXPECT_EQ(fit_to_size(ScenePlan{}, 20'000'000, false).keys, 200);
  EXPECT_THROW(fit_to_size(ScenePlan{}, 1'000'000, true), std::runtime_error);
}

TEST(SizeFitKeys, BiggerTargetsGetBiggerMeshes) {
  EXPECT_LT(fit_to_size(ScenePlan{}, 5'000'000, false).vertices,
            fit_to_size(ScenePlan{}, 10'000'000, false).vertices);
}

}  // namespace
}  // namespace kestrun::scenegen
