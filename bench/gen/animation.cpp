#include <algorithm>
#include <vector>

#include "gen/scene.h"

namespace kestrun::scenegen {

namespace {

constexpr std::int64_t kTicksPerFrame = 160;

// A step of up to `step` each way on every axis, kept within `low`..`high`.
Vec3 wander(Random& random, Vec3 v, double step, double low, double high) {
  const auto move = [&](double value) { return std::clamp(value + random.uniform(-step, step), low, high); };
  return {move(v.x), move(v.y), move(v.z)};
}

// Animators mostly turn a node about one axis: here a coordinate axis, off
// by a little noise, either way round. Its near-zero parts print as "0.0000"
// or "-0.0000", as in real exports.
Vec3 spin_axis(Random& random, std::int64_t along) {
  Vec3 axis{random.uniform(-2e-4, 2e-4), random.uniform(-2e-4, 2e-4), random.uniform(-2e-4, 2e-4)};
  (along == 0 ? axis.x : along == 1 ? axis.y : axis.z) = random.one_in(4) ? -1.0 : 1.0;
  return normalized(axis);
}

// Bezier tangents, in then out, and the key's flags: mostly 0, else 1 to 7.
void end_bezier_key(Out& out, Random& random, double slope) {
  for (int i = 0; i < 6; ++i) out.print("\t%.4f", random.uniform(-slope, slope));
  out.print("\t%d\n", random.one_in(4) ? random.pick(1, 7) : 0);
}

void write_keyed(Out& out, Random& random, const Node& node, std::int64_t keys, Tracks tracks) {
  // Key k on frame k; about one in eight, not the first or last, between frames.
  std::vector<std::int64_t> times;
  for (std::int64_t k = 0; k < keys; ++k) {
    const bool between = k > 0 && k + 1 < keys && random.one_in(8);
    times.push_back(k * kTicksPerFrame + (between ? random.pick(1, kTicksPerFrame - 1) : 0));
  }
  out.print("\t\t*CONTROL_POS_BEZIER {\n");
  Vec3 p = node.position;
  for (const std::int64_t ticks : times) {
    out.print("\t\t\t*CONTROL_BEZIER_POS_KEY %d\t%.4f\t%.4f\t%.4f", ticks, p.x, p.y, p.z);
    end_bezier_key(out, random, 2.0);
    p = wander(random, p, 5.0, -1000.0, 1000.0);
  }
  out.print("\t\t}\n");
  if (tracks == Tracks::kPosition) return;
  out.print("\t\t*CONTROL_ROT_TCB {\n");
  const std::int64_t along = random.pick(0, 2);
  for (const std::int64_t ticks : times) {
    const Vec3 axis = spin_axis(random, along);
    out.print("\t\t\t*CONTROL_TCB_ROT_KEY %d\t%.4f\t%.4f\t%.4f\t%.4f", ticks, axis.x, axis.y, axis.z,
              random.uniform(0.0, kPi));
    // Tension, continuity and bias stay at Max's default 25 unless a key was tweaked; ease is mostly 0.
    for (int i = 0; i < 3; ++i) out.print("\t%.4f", random.one_in(4) ? random.uniform(0.0, 50.0) : 25.0);
    for (int i = 0; i < 2; ++i) out.print("\t%.4f", random.one_in(8) ? random.uniform(0.0, 50.0) : 0.0);
    out.print("\n");
  }
  out.print("\t\t}\n");
  if (tracks == Tracks::kPositionRotation) return;
  out.print("\t\t*CONTROL_SCALE_BEZIER {\n");
  for (const std::int64_t ticks : times) {
    const Vec3 s{random.uniform(0.5, 2.0), random.uniform(0.5, 2.0), random.uniform(0.5, 2.0)};
    const Vec3 axis = random_axis(random);
    out.print("\t\t\t*CONTROL_BEZIER_SCALE_KEY %d\t%.4f\t%.4f\t%.4f\t%.4f\t%.4f\t%.4f\t%.4f", ticks, s.x, s.y,
              s.z, axis.x, axis.y, axis.z, random.uniform(0.0, kPi));
    end_bezier_key(out, random, 0.5);
  }
  out.print("\t\t}\n");
}

// The frames a sampled track writes: the first, the last and each one in
// between, except that 1 frame in 16 starts a gap of 2 to 10 frames over
// which the value holds still.
std::vector<std::int64_t> sample_ticks(Random& random, std::int64_t frames) {
  std::vector<std::int64_t> frame{0};
  while (frame.back() + 1 < frames) {
    const std::int64_t step = random.one_in(16) ? random.pick(2, 10) : 1;
    frame.push_back(std::min(frame.back() + step, frames - 1));
  }
  for (std::int64_t& f : frame) f *= kTicksPerFrame;
  return frame;
}

void write_sampled(Out& out, Random& random, const Node& node, std::int64_t keys, Tracks tracks) {
  out.print("\t\t*CONTROL_POS_TRACK {\n");
  Vec3 p = node.position;
  for (const std::int64_t ticks : sample_ticks(random, keys)) {
    if (ticks != 0) p = wander(random, p, 1.0, -1000.0, 1000.0);
    out.print("\t\t\t*CONTROL_POS_SAMPLE %d\t%.4f\t%.4f\t%.4f\n", ticks, p.x, p.y, p.z);
  }
  out.print("\t\t}\n");
  if (tracks == Tracks::kPosition) return;
  // The first sample is the node's own turn; each later one the small turn since the sample before.
  out.print("\t\t*CONTROL_ROT_TRACK {\n");
  const std::int64_t along = random.pick(0, 2);
  for (const std::int64_t ticks : sample_ticks(random, keys)) {
    const Vec3 axis = ticks == 0 ? node.axis : spin_axis(random, along);
    const double angle = ticks == 0 ? node.angle : random.uniform(0.0005, 0.05);
    out.print("\t\t\t*CONTROL_ROT_SAMPLE %d\t%.4f\t%.4f\t%.4f\t%.4f\n", ticks, axis.x, axis.y, axis.z, angle);
  }
  out.print("\t\t}\n");
  if (tracks == Tracks::kPositionRotation) return;
  // Scale, then the turn of the scale axes (mostly none); the exporter puts a space, not a tab, between them.
  out.print("\t\t*CONTROL_SCALE_TRACK {\n");
  Vec3 s{1.0, 1.0, 1.0};
  for (const std::int64_t ticks : sample_ticks(random, keys)) {
    if (ticks != 0) s = wander(random, s, 0.01, 0.5, 2.0);
    const bool turned = ticks != 0 && random.one_in(3);
    const Vec3 axis = turned ? random_axis(random) : Vec3{};
    out.print("\t\t\t*CONTROL_SCALE_SAMPLE %d\t%.4f\t%.4f\t%.4f %.4f\t%.4f\t%.4f\t%.4f\n", ticks, s.x, s.y,
              s.z, axis.x, axis.y, axis.z, turned ? random.uniform(0.001, 0.1) : 0.0);
  }
  out.print("\t\t}\n");
}

}  // namespace

void write_animation(Out& out, Random& random, const Node& node, std::int64_t keys, bool sampled,
                     Tracks tracks) {
  if (keys <= 0) return;
  out.print("\t*TM_ANIMATION {\n\t\t*NODE_NAME \"%s\"\n", node.name);
  if (sampled) {
    write_sampled(out, random, node, keys, tracks);
  } else {
    write_keyed(out, random, node, keys, tracks);
  }
  out.print("\t}\n");
}

}  // namespace kestrun::scenegen
