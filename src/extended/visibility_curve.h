// A node's visibility track as its transform's visibility.
#pragma once

#include <optional>

#include "extended/animation_curves.h"
#include "model/animation_model.h"

namespace kestrun::extended {

/// What a visibility track makes of a node's visibility: nothing (shown
/// throughout), hidden throughout, or a curve of stepped keys ("v", 1 or 0)
/// at the track's first key and wherever it turns the node on or off.
struct NodeVisibility {
  bool hidden = false;
  std::optional<Curve> curve;
};
NodeVisibility node_visibility(const FloatTrack& track, double ticks_per_frame);

}  // namespace kestrun::extended
