// A float controller (a node's visibility track) as 3ds Max plays it back,
// and where it turns a node on and off.
#pragma once

#include <vector>

#include "model/animation_model.h"

namespace kestrun {

/// The value of `track` at `tick`: straight between samples and linear
/// keys, along the Bezier keys' tangents (or held, or straight, as their
/// flags say), through TCB keys as a Catmull-Rom spline (their tension,
/// continuity and bias aside); outside the keys, the first or last value.
double float_at(const FloatTrack& track, double tick);

/// A change of a node's visibility: from `tick` on it is `visible`.
struct VisibilitySwitch {
  double tick = 0.0;
  bool visible = true;
};

/// Where a visibility track shows the node (its value above 0) and where it
/// hides it: the state at the first key, which holds before it, then every
/// change, in increasing ticks. A value that falls to 0 hides the node from
/// the tick it gets there; one that rises from 0 shows it a tick later
/// (at 0 itself the node is hidden). Empty for a track without keys.
std::vector<VisibilitySwitch> visibility_switches(const FloatTrack& track);

}  // namespace kestrun
