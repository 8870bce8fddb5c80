// Animation curves: the tracks of a node as keys on its channels.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/warnings.h"
#include "extended/maya_output.h"
#include "model/scene_model.h"

namespace kestrun {

/// Tangent types as Maya files number them.
enum class Tangent : std::uint8_t { Fixed = 1, Linear = 2, Step = 5, Spline = 9 };

struct CurveKey {
  double frame = 0.0;
  double value = 0.0;
  Tangent in = Tangent::Linear;
  Tangent out = Tangent::Linear;
  float in_slope = 0.0F;  // Fixed tangents: value per second.
  float out_slope = 0.0F;
};

/// One channel of a transform ("tx" to "sz") and the keys that drive it.
struct Curve {
  std::string_view attribute;
  std::vector<CurveKey> keys;
};

/// The curves of `animation`, with values in the node's parent space, as
/// the file gives them:
/// - sampled tracks key every sample; a sample the exporter left out because
///   nothing changed gets a key that holds the value until one sampling step
///   (the track's smallest gap) before the next sample;
/// - rotations compose each sample or key with the rotation before it and
///   are unwrapped, so that no curve jumps by a turn between neighbours;
/// - keyed controllers keep their keys: Bezier with their slopes, TCB as
///   spline keys, linear ones as linear.
std::vector<Curve> build_curves(const NodeAnimation& animation, const SceneTiming& timing,
                                Warnings& warnings);

/// Writes the curves of `node` and keeps their connections.
void write_curves(MayaOutput& output, std::string_view node, const std::vector<Curve>& curves);

}  // namespace kestrun
