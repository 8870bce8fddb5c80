// Animation curves: the tracks of a node as keys on its channels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/warnings.h"
#include "extended/maya_output.h"
#include "model/scene_model.h"

namespace kestrun::extended {

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

/// One attribute a curve drives, by its short name: a transform's channel
/// ("tx", "rz", "sy", "shxz", "v"...), a camera's or light's setting ("fl",
/// "cr"...) or a blendShape's weight ("w[3]"); and the keys that drive it.
struct Curve {
  std::string attribute;
  std::vector<CurveKey> keys;
};

/// The channels a node's transform is written with, for a node whose local
/// matrix at the file's static frame is `local` and whose animation, if
/// converted, is `animation`: `local` decomposed; but where the node turns
/// (or stretches along turned axes) and its stretch is along turned axes,
/// the rotation is 3ds Max's (the one its rotation keys give) and scale,
/// shear and rotate axis hold the stretch. Nothing if `local` is singular.
std::optional<Channels> transform_channels(const Matrix43& local, const NodeAnimation* animation);

/// The curves of `animation`, with values in the node's parent space, for
/// a node whose local matrix at the file's static frame is `local`:
/// - sampled tracks key every sample; samples the exporter left out because
///   nothing changed get a key that holds the value until one sampling step
///   (the node's smallest gap between samples) before the next sample, and
///   a rotation track that starts late holds no rotation until then;
/// - rotations compose each sample or key with the rotation before it; the
///   Euler angles follow every turn through its whole angle, and keys are
///   added where Euler interpolation would stray from a constant-rate turn;
/// - a mirroring node's scale is negative on every axis, so that the file's
///   rotations apply as they are; scale keys that stretch along turned axes
///   are keyed as scale, shear and rotate axis together;
/// - keyed controllers keep their keys: Bezier with their slopes, TCB as
///   spline keys, linear ones as linear;
/// - keys that would be written at the same frame are merged into the later.
std::vector<Curve> build_curves(const NodeAnimation& animation, const Matrix43& local,
                                const SceneTiming& timing, Warnings& warnings);

/// Keys written at one frame (key times too close for six decimals) are
/// merged into the later one, noted in `warnings`: Maya needs key times that increase.
void merge_keys_at_one_frame(std::vector<Curve>& curves, Warnings& warnings);

/// Writes the curves of `node` and keeps their connections. Each curve is
/// named after the node and the attribute ("Box01_translateX") and is an
/// animCurveTL, TA or TU as the attribute is a distance, an angle or neither.
void write_curves(MayaOutput& output, std::string_view node, const std::vector<Curve>& curves);

}  // namespace kestrun::extended
