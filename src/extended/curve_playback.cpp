#include "extended/curve_playback.h"

#include <algorithm>

namespace kestrun::extended {

double curve_value(const std::vector<CurveKey>& keys, double frame, double frames_per_second) {
  if (keys.empty()) return 0.0;
  if (!(frame > keys.front().frame)) return keys.front().value;
  if (frame >= keys.back().frame) return keys.back().value;
  const auto next = std::upper_bound(keys.begin(), keys.end(), frame,
                                     [](double f, const CurveKey& key) { return f < key.frame; });
  const CurveKey& from = *(next - 1);
  const CurveKey& to = *next;
  const double length = to.frame - from.frame;
  const double s = (frame - from.frame) / length;
  if (from.out == Tangent::Step) return from.value;
  if (from.out != Tangent::Fixed && to.in != Tangent::Fixed) return from.value + (to.value - from.value) * s;
  // Tangents as value changes over the segment.
  const double straight = to.value - from.value;
  const double m0 = from.out == Tangent::Fixed ? from.out_slope / frames_per_second * length : straight;
  const double m1 = to.in == Tangent::Fixed ? to.in_slope / frames_per_second * length : straight;
  const double s2 = s * s, s3 = s2 * s;
  return (2 * s3 - 3 * s2 + 1) * from.value + (s3 - 2 * s2 + s) * m0 + (-2 * s3 + 3 * s2) * to.value +
         (s3 - s2) * m1;
}

Matrix43 local_at(const Channels& channels, const std::vector<Curve>& curves, double frame,
                  double frames_per_second) {
  Channels c = channels;
  for (const Curve& curve : curves) {
    const double value = curve_value(curve.keys, frame, frames_per_second);
    const std::string& a = curve.attribute;
    const char axis = a.back();
    const auto set = [axis, value](double& x, double& y, double& z) {
      (axis == 'x' ? x : axis == 'y' ? y : z) = value;
    };
    if (a.size() == 2 && a[0] == 't') {
      set(c.translate.x, c.translate.y, c.translate.z);
    } else if (a.size() == 2 && a[0] == 'r') {
      set(c.rotate.x, c.rotate.y, c.rotate.z);
    } else if (a.size() == 2 && a[0] == 's') {
      set(c.scale.x, c.scale.y, c.scale.z);
    } else if (a.size() == 3 && a.starts_with("ra")) {
      set(c.rotate_axis.x, c.rotate_axis.y, c.rotate_axis.z);
    } else if (a == "shxy") {
      c.shear.x = value;
    } else if (a == "shxz") {
      c.shear.y = value;
    } else if (a == "shyz") {
      c.shear.z = value;
    }
  }
  return compose(c);
}

}  // namespace kestrun::extended
