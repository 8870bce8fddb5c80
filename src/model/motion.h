// The motion a node's tracks describe, as 3ds Max plays it back: where its
// rotation and stretch are at any tick, and through which turns they pass.
#pragma once

#include <vector>

#include "model/animation_model.h"
#include "model/transform_math.h"

namespace kestrun {

/// A point a rotation passes through, and the turn that brings it there
/// from the point before: `angle` radians about `axis`, at a constant rate.
struct TurnPoint {
  double tick = 0.0;
  Quaternion rotation;  // Relative to the parent.
  Vec3 axis{0, 0, 1};
  double angle = 0.0;
};

/// The points of a rotation track. Each sample or key turns on from the one
/// before, the first from no rotation: a key through its whole angle, a
/// sample the short way. Samples the exporter left out did not
/// turn the node: a sampled track that starts after `first_tick` starts from
/// no rotation there, held until one sampling step (`step`) before its first
/// sample, and a sample after a gap is reached from the one before, held
/// until one step before it.
std::vector<TurnPoint> turn_points(const Track& track, double first_tick, double step);

/// The rotation at `tick`: along the turn between the points around it,
/// that of the first or last point outside them.
Matrix43 rotation_at(const std::vector<TurnPoint>& points, double tick);

/// How far, in radians, the rotation turns between `from` and `to`.
double turning_between(const std::vector<TurnPoint>& points, double from, double to);

/// A point a scale track passes through: the stretch at a tick.
struct StretchPoint {
  double tick = 0.0;
  Matrix43 stretch;
};

/// The points of a scale track (each key's factors along its turned axes),
/// with the holds of left-out samples as for rotations.
std::vector<StretchPoint> stretch_points(const Track& track, double step);

/// The stretch at `tick`, straight between the points around it.
Matrix43 stretch_at(const std::vector<StretchPoint>& points, double tick);

/// A node's local matrix over time, its translation aside: 3ds Max's
/// mirror (1, or -1 through the origin) times the stretch times the rotation.
struct LocalMotion {
  std::vector<TurnPoint> turns;  // Empty: `rotation` throughout.
  Matrix43 rotation;
  std::vector<StretchPoint> stretches;  // Empty: `stretch` throughout.
  Matrix43 stretch;
  double mirror = 1.0;

  [[nodiscard]] Matrix43 at(double tick) const;
  /// How far, in radians, the rotation turns between `from` and `to`.
  [[nodiscard]] double turning(double from, double to) const { return turning_between(turns, from, to); }
};

/// The exporter's sampling step: the smallest gap between the samples of
/// `animation`'s sampled tracks, or `fallback` if no track shows one.
double sampling_step(const NodeAnimation& animation, double fallback);

}  // namespace kestrun
