#include "gen/size_fit.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "gen/mesh_layout.h"
#include "gen/scene_writer.h"

namespace kestrun::scenegen {

namespace {

// Meshes larger than this are not generated to measure them: their size is
// extrapolated, which keeps planning cheap even for one huge object.
constexpr std::int64_t kProbeLimit = 30'000;
constexpr std::int64_t kFirstProbe = 64;
constexpr double kBytesPerVertexGuess = 800.0;

// Mean size of the first objects; two samples keep one odd object from skewing the fit.
double sampled_object_size(ScenePlan plan, std::int64_t vertices) {
  plan.vertices = vertices;
  const std::int64_t samples = std::min<std::int64_t>(plan.objects, 2);
  double total = 0.0;
  for (std::int64_t i = 0; i < samples; ++i) total += static_cast<double>(object_size(plan, i));
  return total / static_cast<double>(samples);
}

// Size of one object as a function of its vertex count: apart from the index
// numbers, whose digits grow with the mesh, every part grows in proportion.
struct SizeModel {
  double base = 0.0;
  double per_vertex = 0.0;

  [[nodiscard]] double at(std::int64_t vertices) const {
    return base + per_vertex * static_cast<double>(vertices - kMinVertices) +
           static_cast<double>(mesh_index_bytes(vertices));
  }
};

SizeModel calibrate(const ScenePlan& plan, double smallest, std::int64_t vertices) {
  SizeModel model;
  model.base = smallest - static_cast<double>(mesh_index_bytes(kMinVertices));
  const double sample = sampled_object_size(plan, vertices) - static_cast<double>(mesh_index_bytes(vertices));
  model.per_vertex = (sample - model.base) / static_cast<double>(vertices - kMinVertices);
  return model;
}

// The vertex count whose modelled size is nearest `target` (the model only grows).
std::int64_t solve(const SizeModel& model, double target) {
  std::int64_t low = kMinVertices;
  std::int64_t high = kMaxVertices;
  while (low < high) {
    const std::int64_t middle = low + (high - low + 1) / 2;
    if (model.at(middle) <= target) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  if (low < kMaxVertices && std::abs(model.at(low + 1) - target) < std::abs(model.at(low) - target)) ++low;
  return low;
}

double animated_minimum(const ScenePlan& plan) {
  return static_cast<double>(frame_size(plan)) +
         static_cast<double>(plan.objects) * sampled_object_size(plan, kMinVertices);
}

ScenePlan lower_keys(ScenePlan plan, double target) {
  for (int round = 0; round < 4 && plan.keys > 1; ++round) {
    const double minimum = animated_minimum(plan);
    if (minimum <= target / 3.0) break;
    plan.keys = std::max<std::int64_t>(
        1, static_cast<std::int64_t>(static_cast<double>(plan.keys) * target / 3.0 / minimum));
  }
  return plan;
}

}  // namespace

ScenePlan fit_to_size(ScenePlan plan, std::uint64_t target_bytes, bool keys_fixed) {
  const double target = static_cast<double>(target_bytes);
  if (!keys_fixed) plan = lower_keys(plan, target);
  const double frame = static_cast<double>(frame_size(plan));
  const double per_object = (target - frame) / static_cast<double>(plan.objects);
  const double smallest = sampled_object_size(plan, kMinVertices);
  if (per_object < smallest) {
    throw std::runtime_error("a scene this small cannot hold " + std::to_string(plan.objects) +
                             " objects with " + std::to_string(plan.keys) + " keys per group");
  }
  const double guess = (per_object - smallest) / kBytesPerVertexGuess;
  std::int64_t probe = std::clamp(static_cast<std::int64_t>(guess), kFirstProbe, kProbeLimit);
  std::int64_t vertices = solve(calibrate(plan, smallest, probe), per_object);
  // Measuring again near the answer removes what the first line fit got wrong.
  for (int round = 0; round < 3 && vertices <= kProbeLimit && vertices > kMinVertices; ++round) {
    if (std::abs(vertices - probe) * 100 <= probe) break;  // within 1%: the fit is already local
    probe = vertices;
    vertices = solve(calibrate(plan, smallest, probe), per_object);
  }
  plan.vertices = vertices;
  return plan;
}

}  // namespace kestrun::scenegen
