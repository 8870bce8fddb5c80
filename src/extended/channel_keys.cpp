#include "extended/channel_keys.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kestrun::extended {
namespace {

/// Halving a stretch of time stops after this many levels (at most 255
/// keys between two of the file's) or below two ticks.
constexpr int kDeepest = 8;
constexpr double kShortest = 2.0;
/// Turns are followed in steps of at most this many radians.
constexpr double kLargestStep = 30.0 * std::numbers::pi / 180.0;

Channels lerp(const Channels& a, const Channels& b, double s) {
  Channels c;
  c.scale = a.scale + (b.scale - a.scale) * s;
  c.shear = a.shear + (b.shear - a.shear) * s;
  c.rotate = {a.rotate.x + (b.rotate.x - a.rotate.x) * s, a.rotate.y + (b.rotate.y - a.rotate.y) * s,
              a.rotate.z + (b.rotate.z - a.rotate.z) * s};
  return c;
}

double row_size(const Matrix43& m) {
  double size = 0.0;
  for (std::size_t row = 0; row < 3; ++row) size = std::max(size, std::sqrt(dot(m.rows[row], m.rows[row])));
  return size;
}

class Keyer {
 public:
  Keyer(const LocalMotion& motion, double ticks_per_frame, KeyedChannels which, double tolerance)
      : motion_(motion), ticks_per_frame_(ticks_per_frame), which_(which), tolerance_(tolerance) {}

  /// The channels of the motion at `tick`, the angles nearest `near`.
  [[nodiscard]] Channels channels_at(double tick, Euler near) const {
    const Matrix43 m = motion_.at(tick);
    Channels channels;
    if (which_ == KeyedChannels::Rotation) {
      channels.rotate = euler_xyz(m);
    } else if (const std::optional<Channels> found = decompose(m)) {
      channels = *found;
    } else {
      // No stretch at all (a scale of 0): the rows give what scale there is.
      for (std::size_t row = 0; row < 3; ++row) {
        const double length = std::sqrt(dot(m.rows[row], m.rows[row]));
        (row == 0 ? channels.scale.x : row == 1 ? channels.scale.y : channels.scale.z) = length;
      }
      channels.rotate = near;
    }
    channels.rotate = nearest_equivalent(channels.rotate, near);
    return channels;
  }

  /// The channels at `to`, followed from `from_channels` at `from` in steps
  /// of at most thirty degrees of the motion's turning.
  [[nodiscard]] Channels follow(double from, const Channels& from_channels, double to) const {
    const double steps = std::ceil(motion_.turning(from, to) / kLargestStep);
    const int count = steps >= 1 && steps <= 4096 ? static_cast<int>(steps) : 1;
    Channels channels = from_channels;
    for (int step = 1; step <= count; ++step) {
      channels = channels_at(from + (to - from) * step / count, channels.rotate);
    }
    return channels;
  }

  /// Adds keys between `a` and `b` until the channels, straight between
  /// keys, stay within the tolerance of the motion.
  void refine(const ChannelKey& a, const ChannelKey& b, int depth,
              const std::function<void(const ChannelKey&)>& emit) const {
    if (depth >= kDeepest || b.tick - a.tick < kShortest || std::isinf(tolerance_)) return;
    if (which_ == KeyedChannels::Rotation && surely_within(a.channels.rotate, b.channels.rotate)) return;
    double worst = 0.0;
    for (const double s : {0.25, 0.5, 0.75}) worst = std::max(worst, stray(a, b, s));
    const bool within_a_frame = b.tick - a.tick <= ticks_per_frame_ * (1 + 1e-9);
    if (worst <= (within_a_frame ? std::max(tolerance_, kLooseTolerance) : tolerance_)) return;
    // At the whole frame nearest the middle, if one lies between.
    double middle = (a.tick + b.tick) / 2;
    const double frame = std::round(middle / ticks_per_frame_) * ticks_per_frame_;
    if (frame > a.tick + kShortest / 2 && frame < b.tick - kShortest / 2) middle = frame;
    const ChannelKey half{middle, follow(a.tick, a.channels, middle)};
    refine(a, half, depth + 1, emit);
    emit(half);
    refine(half, b, depth + 1, emit);
  }

 private:
  /// True if Euler angles straight from `a` to `b` cannot stray from a
  /// constant-rate turn by as much as half the tolerance. Both are three
  /// turns about (turned) unit axes by the angles' changes; by the
  /// Baker-Campbell-Hausdorff series they part by at most an eighth of the
  /// sum of the changes' pairwise products, and terms of higher order hold
  /// the sum of all changes as a factor (kept below a radian here).
  [[nodiscard]] bool surely_within(Euler a, Euler b) const {
    constexpr double kRadians = std::numbers::pi / 180.0;
    const double x = std::fabs(b.x - a.x) * kRadians, y = std::fabs(b.y - a.y) * kRadians,
                 z = std::fabs(b.z - a.z) * kRadians;
    const double sum = x + y + z, pairs = x * y + y * z + z * x;
    return sum <= 1.0 && pairs * (1.0 / 8 + sum / 12 + sum * sum / 24) < tolerance_ / 2;
  }

  /// How far the channels straight between `a` and `b` are from the motion
  /// at the part `s` of the way.
  [[nodiscard]] double stray(const ChannelKey& a, const ChannelKey& b, double s) const {
    const double tick = a.tick + (b.tick - a.tick) * s;
    const Matrix43 want = motion_.at(tick);
    const Channels between = lerp(a.channels, b.channels, s);
    if (which_ == KeyedChannels::Rotation) return turn_between(rotation_xyz(between.rotate), want);
    const Matrix43 got = compose(between);
    double off = 0.0;
    for (std::size_t row = 0; row < 3; ++row) {
      const Vec3 d = got.rows[row] - want.rows[row];
      off = std::max({off, std::fabs(d.x), std::fabs(d.y), std::fabs(d.z)});
    }
    const double size = row_size(want);
    return size > 0 ? off / size : off;
  }

  const LocalMotion& motion_;
  double ticks_per_frame_;
  KeyedChannels which_;
  double tolerance_;
};

}  // namespace

void follow_motion(const LocalMotion& motion, const std::vector<double>& ticks, double ticks_per_frame,
                   KeyedChannels which, Euler start, double tolerance,
                   const std::function<void(const ChannelKey&)>& emit) {
  if (ticks.empty()) return;
  const Keyer keyer(motion, ticks_per_frame, which, tolerance);
  ChannelKey from{ticks.front(), keyer.channels_at(ticks.front(), start)};
  emit(from);
  for (std::size_t i = 1; i < ticks.size(); ++i) {
    const ChannelKey to{ticks[i], keyer.follow(from.tick, from.channels, ticks[i])};
    keyer.refine(from, to, 0, emit);
    emit(to);
    from = to;
  }
}

}  // namespace kestrun::extended
