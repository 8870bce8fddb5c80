#include "model/float_track.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace kestrun {
namespace {

/// Bezier key flags: bits 7 to 9 the in tangent's type, 10 to 12 the out
/// tangent's; 1 is linear, 2 is step.
constexpr unsigned kLinearTangent = 1;
constexpr unsigned kStepTangent = 2;

unsigned in_type(const FloatKey& key) { return (key.flags >> 7) & 7U; }
unsigned out_type(const FloatKey& key) { return (key.flags >> 10) & 7U; }

/// The stretch of a track between two keys as a cubic Hermite segment: the
/// values at its ends and the changes its tangents give over its length.
struct Segment {
  double t0 = 0.0, t1 = 0.0;
  double v0 = 0.0, v1 = 0.0;
  double m0 = 0.0, m1 = 0.0;
  bool hold = false;  // A step: v0 until t1.

  /// The cubic in s = (t - t0) / (t1 - t0): a s^3 + b s^2 + c s + d.
  [[nodiscard]] std::array<double, 4> cubic() const {
    return {2 * v0 + m0 - 2 * v1 + m1, -3 * v0 - 2 * m0 + 3 * v1 - m1, m0, v0};
  }
  [[nodiscard]] double at(double s) const {
    if (hold) return s < 1.0 ? v0 : v1;
    const auto [a, b, c, d] = cubic();
    return ((a * s + b) * s + c) * s + d;
  }
};

/// The slope of a TCB track at key i, value per tick: across its
/// neighbours, or along its one segment at an end.
double spline_slope(const std::vector<FloatKey>& keys, std::size_t i) {
  const std::size_t before = i > 0 ? i - 1 : i;
  const std::size_t after = i + 1 < keys.size() ? i + 1 : i;
  return (keys[after].value - keys[before].value) / (keys[after].time - keys[before].time);
}

Segment segment(const FloatTrack& track, std::size_t i) {
  const FloatKey& from = track.keys[i];
  const FloatKey& to = track.keys[i + 1];
  Segment s{from.time, to.time, from.value, to.value, to.value - from.value, to.value - from.value, false};
  const double length = to.time - from.time;
  if (track.kind == KeyKind::Bezier) {
    s.hold = out_type(from) == kStepTangent;
    if (out_type(from) != kLinearTangent) s.m0 = from.out_tangent * length;
    if (in_type(to) != kLinearTangent) s.m1 = to.in_tangent * length;
  } else if (track.kind == KeyKind::Tcb) {
    s.m0 = spline_slope(track.keys, i) * length;
    s.m1 = spline_slope(track.keys, i + 1) * length;
  }
  return s;
}

}  // namespace

double float_at(const FloatTrack& track, double tick) {
  const std::vector<FloatKey>& keys = track.keys;
  if (keys.empty()) return 0.0;
  if (!(tick > keys.front().time)) return keys.front().value;
  if (tick >= keys.back().time) return keys.back().value;
  const auto next = std::upper_bound(keys.begin(), keys.end(), tick,
                                     [](double t, const FloatKey& key) { return t < key.time; });
  const Segment s = segment(track, static_cast<std::size_t>(next - keys.begin()) - 1);
  return s.at((tick - s.t0) / (s.t1 - s.t0));
}

std::vector<VisibilitySwitch> visibility_switches(const FloatTrack& track) {
  std::vector<VisibilitySwitch> switches;
  const std::vector<FloatKey>& keys = track.keys;
  if (keys.empty()) return switches;
  constexpr double kTick = 1.0;
  bool visible = keys.front().value > 0;
  switches.push_back({keys.front().time, visible});
  const auto change = [&](double tick, bool now) {
    if (now == visible) return;
    visible = now;
    switches.push_back({std::max(tick, switches.back().tick), now});
  };
  for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
    const Segment s = segment(track, i);
    if (s.hold) {
      change(s.t1, s.v1 > 0);
      continue;
    }
    // The cubic is monotone between its turning points: each piece crosses 0 at most once.
    const auto [a, b, c, d] = s.cubic();
    std::array<double, 4> cuts{0.0, 1.0, 1.0, 1.0};
    std::size_t count = 1;
    const double qa = 3 * a, qb = 2 * b, qc = c;  // The derivative.
    if (qa != 0.0) {
      const double disc = qb * qb - 4 * qa * qc;
      if (disc > 0) {
        const double root = std::sqrt(disc);
        for (const double turn : {(-qb - root) / (2 * qa), (-qb + root) / (2 * qa)}) {
          if (turn > 0 && turn < 1) cuts[count++] = turn;
        }
      }
    } else if (qb != 0.0 && -qc / qb > 0 && -qc / qb < 1) {
      cuts[count++] = -qc / qb;
    }
    if (count == 3 && cuts[1] > cuts[2]) std::swap(cuts[1], cuts[2]);
    cuts[count++] = 1.0;
    for (std::size_t piece = 0; piece + 1 < count; ++piece) {
      double lo = cuts[piece], hi = cuts[piece + 1];
      const bool start = s.at(lo) > 0;
      if (start == (s.at(hi) > 0)) continue;
      for (int step = 0; step < 64; ++step) {
        const double mid = (lo + hi) / 2;
        if ((s.at(mid) > 0) == start) {
          lo = mid;
        } else {
          hi = mid;
        }
      }
      const double tick = s.t0 + hi * (s.t1 - s.t0);
      // At 0 itself the node is hidden: a rise shows it a tick later.
      change(start ? tick : std::min(tick + kTick, s.t1), !start);
    }
  }
  return switches;
}

}  // namespace kestrun
