#include "model/motion.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kestrun {
namespace {

/// Index of the first point after `tick`.
template <class Point>
std::size_t after(const std::vector<Point>& points, double tick) {
  return static_cast<std::size_t>(
      std::upper_bound(points.begin(), points.end(), tick,
                       [](double t, const Point& point) { return t < point.tick; }) -
      points.begin());
}

double largest_difference(const Matrix43& a, const Matrix43& b) {
  double off = 0.0;
  for (std::size_t row = 0; row < 3; ++row) {
    const Vec3 d = a.rows[row] - b.rows[row];
    off = std::max({off, std::fabs(d.x), std::fabs(d.y), std::fabs(d.z)});
  }
  return off;
}

Matrix43 lerp(const Matrix43& a, const Matrix43& b, double s) {
  Matrix43 m;
  for (std::size_t row = 0; row < 4; ++row) m.rows[row] = a.rows[row] + (b.rows[row] - a.rows[row]) * s;
  return m;
}

}  // namespace

std::vector<TurnPoint> turn_points(const Track& track, double first_tick, double step) {
  std::vector<TurnPoint> points;
  if (track.keys.empty()) return points;
  const bool sampled = track.kind == KeyKind::Sample && step > 0;
  points.reserve(track.keys.size() + 2);
  const double first_key = track.keys.front().time;
  if (sampled && first_key > first_tick) {
    points.push_back({first_tick, {}, {0, 0, 1}, 0.0});
    if (first_key - step > first_tick) points.push_back({first_key - step, {}, {0, 0, 1}, 0.0});
  }
  Matrix43 rotation;
  for (std::size_t i = 0; i < track.keys.size(); ++i) {
    const Key& key = track.keys[i];
    if (sampled && i > 0 && key.time - track.keys[i - 1].time > step) {
      points.push_back({key.time - step, quaternion_of(rotation), {0, 0, 1}, 0.0});
    }
    const bool turns =
        std::isfinite(key.angle) && std::isfinite(dot(key.value, key.value)) && dot(key.value, key.value) > 0;
    // A sample is the quaternion from the sample before as an axis and an
    // angle of 0 to 360 degrees: one over 180 is the short turn the other
    // way (-0.3 degrees written as 359.7 about the reversed axis). A key's
    // angle is the turn itself: 720 degrees turn twice.
    double angle = turns ? key.angle : 0.0;
    if (track.kind == KeyKind::Sample) angle = std::remainder(angle, 2 * std::numbers::pi);
    rotation = rotation * axis_angle_rows(key.value, angle);
    rotation.rows[3] = {};
    points.push_back({key.time, quaternion_of(rotation), turns ? key.value : Vec3{0, 0, 1}, angle});
  }
  return points;
}

Matrix43 rotation_at(const std::vector<TurnPoint>& points, double tick) {
  if (points.empty()) return {};
  const std::size_t next = after(points, tick);
  if (next == 0) return matrix_of(points.front().rotation);
  if (next == points.size()) return matrix_of(points.back().rotation);
  const TurnPoint& from = points[next - 1];
  const TurnPoint& to = points[next];
  const double s = (tick - from.tick) / (to.tick - from.tick);
  Matrix43 rotation = matrix_of(from.rotation) * axis_angle_rows(to.axis, to.angle * s);
  rotation.rows[3] = {};
  return rotation;
}

double turning_between(const std::vector<TurnPoint>& points, double from, double to) {
  double turned = 0.0;
  for (std::size_t i = std::max<std::size_t>(after(points, from), 1); i < points.size(); ++i) {
    const double start = points[i - 1].tick, end = points[i].tick;
    if (start >= to) break;
    const double overlap = std::min(end, to) - std::max(start, from);
    if (overlap > 0) turned += std::fabs(points[i].angle) * overlap / (end - start);
  }
  return turned;
}

std::vector<StretchPoint> stretch_points(const Track& track, double step) {
  std::vector<StretchPoint> points;
  const bool sampled = track.kind == KeyKind::Sample && step > 0;
  points.reserve(track.keys.size());
  for (std::size_t i = 0; i < track.keys.size(); ++i) {
    const Key& key = track.keys[i];
    if (sampled && i > 0 && key.time - track.keys[i - 1].time > step) {
      points.push_back({key.time - step, points.back().stretch});
    }
    points.push_back({key.time, stretch_matrix(key.value, key.scale_axis, key.scale_axis_angle)});
  }
  return points;
}

Matrix43 stretch_at(const std::vector<StretchPoint>& points, double tick) {
  if (points.empty()) return {};
  const std::size_t next = after(points, tick);
  if (next == 0) return points.front().stretch;
  if (next == points.size()) return points.back().stretch;
  const StretchPoint& from = points[next - 1];
  const StretchPoint& to = points[next];
  return lerp(from.stretch, to.stretch, (tick - from.tick) / (to.tick - from.tick));
}

Matrix43 LocalMotion::at(double tick) const {
  Matrix43 m = turns.empty() ? rotation : rotation_at(turns, tick);
  // Most motions are a rotation alone: no product with an identity stretch.
  if (!stretches.empty()) {
    m = stretch_at(stretches, tick) * m;
  } else if (largest_difference(stretch, Matrix43{}) != 0.0) {
    m = stretch * m;
  }
  if (mirror != 1.0) {
    for (std::size_t row = 0; row < 3; ++row) m.rows[row] = m.rows[row] * mirror;
  }
  m.rows[3] = {};
  return m;
}

double sampling_step(const NodeAnimation& animation, double fallback) {
  double step = 0.0;
  for (const Track* track : {&animation.position, &animation.rotation, &animation.scale}) {
    if (track->kind != KeyKind::Sample) continue;
    for (std::size_t i = 1; i < track->keys.size(); ++i) {
      const double gap = track->keys[i].time - track->keys[i - 1].time;
      if (gap > 0 && (step == 0.0 || gap < step)) step = gap;
    }
  }
  return step > 0 ? step : fallback;
}

}  // namespace kestrun
