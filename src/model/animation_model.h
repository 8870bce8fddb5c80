// The animation of one node as the file gives it: a track of samples or keys
// for each of position, rotation and scale.
#pragma once

#include <vector>

#include "model/transform_math.h"

namespace kestrun {

/// How a track's keys were made: sampled by the exporter, or keys of a
/// linear, Bezier or TCB controller.
enum class KeyKind { Sample, Linear, Bezier, Tcb };

struct Key {
  double time = 0.0;              // Ticks.
  Vec3 value;                     // Position, scale factors, or the rotation axis.
  double angle = 0.0;             // Rotation keys: the angle, radians, relative to the key before.
  Vec3 scale_axis;                // Scale keys: the axis of the stretch...
  double scale_axis_angle = 0.0;  // ...and its angle.
  Vec3 in_tangent;                // Bezier keys: slopes, value per tick, at the key...
  Vec3 out_tangent;
  unsigned flags = 0;    // ...and the key's flags (bits 7 to 12: in and out tangent types).
  double tension = 0.0;  // TCB keys.
  double continuity = 0.0;
  double bias = 0.0;
};

struct Track {
  KeyKind kind = KeyKind::Sample;
  std::vector<Key> keys;
};

/// A key of a float controller (a visibility track): its time and value,
/// and what its kind adds, as for Key.
struct FloatKey {
  double time = 0.0;  // Ticks.
  double value = 0.0;
  double in_tangent = 0.0;  // Bezier keys: slopes, value per tick.
  double out_tangent = 0.0;
  unsigned flags = 0;    // ...and its flags (bits 7 to 12: in and out tangent types).
  double tension = 0.0;  // TCB keys.
  double continuity = 0.0;
  double bias = 0.0;
};

struct FloatTrack {
  KeyKind kind = KeyKind::Sample;
  std::vector<FloatKey> keys;
};

struct NodeAnimation {
  Track position;
  Track rotation;
  Track scale;

  [[nodiscard]] bool empty() const {
    return position.keys.empty() && rotation.keys.empty() && scale.keys.empty();
  }
};

}  // namespace kestrun
