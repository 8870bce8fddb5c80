#include "extended/visibility_curve.h"

#include "model/float_track.h"

namespace kestrun::extended {

NodeVisibility node_visibility(const FloatTrack& track, double ticks_per_frame) {
  NodeVisibility visibility;
  const std::vector<VisibilitySwitch> switches = visibility_switches(track);
  if (switches.empty()) return visibility;
  if (switches.size() == 1) {
    visibility.hidden = !switches.front().visible;
    return visibility;
  }
  Curve curve{"v", {}};
  curve.keys.reserve(switches.size());
  for (const VisibilitySwitch& change : switches) {
    curve.keys.push_back(
        {change.tick / ticks_per_frame, change.visible ? 1.0 : 0.0, Tangent::Linear, Tangent::Step});
  }
  visibility.curve = std::move(curve);
  return visibility;
}

}  // namespace kestrun::extended
