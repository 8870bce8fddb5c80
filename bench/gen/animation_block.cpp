#include "gen/animation_block.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "gen/vec_math.h"

namespace kestrun::scenegen {

namespace {

constexpr Units kReach = 1000 * kOne;
constexpr Units kStride = 5 * kOne;
constexpr Units kPositionSlope = 2 * kOne;
constexpr Units kScaleSlope = kOne / 2;
constexpr Units kTcbDefault = 25 * kOne;

std::vector<std::int64_t> key_times(Random& random, std::int64_t keys) {
  std::vector<std::int64_t> times(static_cast<std::size_t>(keys));
  for (std::int64_t k = 0; k < keys; ++k) {
    const bool shifted = k > 0 && k + 1 < keys && random.one_in(8);
    times[static_cast<std::size_t>(k)] =
        k * kTicksPerFrame + (shifted ? random.uniform(1, kTicksPerFrame - 1) : 0);
  }
  return times;
}

void write_key_start(OutBuffer& out, std::string_view keyword, std::int64_t ticks) {
  out.text(keyword);
  out.integer(ticks);
}

void write_field(OutBuffer& out, Units value) {
  out.put('\t');
  out.fixed4(value);
}

void write_fields(OutBuffer& out, const Point& values) {
  for (const Units value : values) write_field(out, value);
}

void write_slopes(OutBuffer& out, Random& random, Units slope) {
  // In-tangent then out-tangent, three components each.
  for (int i = 0; i < 6; ++i) write_field(out, random.uniform(-slope, slope));
}

void write_flags(OutBuffer& out, Random& random) {
  out.put('\t');
  out.integer(random.one_in(4) ? random.uniform(1, 7) : 0);
  out.end_line();
}

void write_axis_angle(OutBuffer& out, Random& random) {
  const Vec3 axis = random_unit_vector(random);
  write_fields(out, {std::llround(axis.x * kOne), std::llround(axis.y * kOne), std::llround(axis.z * kOne)});
  write_field(out, random.uniform(0, kPi));
}

void write_group_start(OutBuffer& out, std::string_view keyword) {
  out.text(keyword);
  out.end_line();
}

void write_group_end(OutBuffer& out) {
  out.text("\t\t}");
  out.end_line();
}

void write_positions(OutBuffer& out, Random& random, const std::vector<std::int64_t>& times, Point place) {
  write_group_start(out, "\t\t*CONTROL_POS_BEZIER {");
  for (const std::int64_t ticks : times) {
    write_key_start(out, "\t\t\t*CONTROL_BEZIER_POS_KEY ", ticks);
    write_fields(out, place);
    write_slopes(out, random, kPositionSlope);
    write_flags(out, random);
    for (Units& coordinate : place) {
      coordinate = std::clamp(coordinate + random.uniform(-kStride, kStride), -kReach, kReach);
    }
  }
  write_group_end(out);
}

void write_rotations(OutBuffer& out, Random& random, const std::vector<std::int64_t>& times) {
  write_group_start(out, "\t\t*CONTROL_ROT_TCB {");
  for (const std::int64_t ticks : times) {
    write_key_start(out, "\t\t\t*CONTROL_TCB_ROT_KEY ", ticks);
    write_axis_angle(out, random);
    // Tension, continuity and bias sit at Max's default 25 unless a key was tweaked.
    for (int i = 0; i < 3; ++i)
      write_field(out, random.one_in(4) ? random.uniform(0, 50 * kOne) : kTcbDefault);
    for (int i = 0; i < 2; ++i) write_field(out, random.one_in(8) ? random.uniform(0, 50 * kOne) : 0);
    out.end_line();
  }
  write_group_end(out);
}

void write_scales(OutBuffer& out, Random& random, const std::vector<std::int64_t>& times) {
  write_group_start(out, "\t\t*CONTROL_SCALE_BEZIER {");
  for (const std::int64_t ticks : times) {
    write_key_start(out, "\t\t\t*CONTROL_BEZIER_SCALE_KEY ", ticks);
    write_fields(out, {random.uniform(kOne / 2, 2 * kOne), random.uniform(kOne / 2, 2 * kOne),
                       random.uniform(kOne / 2, 2 * kOne)});
    write_axis_angle(out, random);
    write_slopes(out, random, kScaleSlope);
    write_flags(out, random);
  }
  write_group_end(out);
}

}  // namespace

std::int64_t last_key_frame(std::int64_t keys) { return keys > 1 ? keys - 1 : 0; }

void write_tm_animation(OutBuffer& out, Random& random, std::string_view name, const Point& start,
                        std::int64_t keys, Tracks tracks) {
  if (keys <= 0) return;
  const std::vector<std::int64_t> times = key_times(random, keys);
  out.text("\t*TM_ANIMATION {");
  out.end_line();
  out.text("\t\t*NODE_NAME \"");
  out.text(name);
  out.put('"');
  out.end_line();
  write_positions(out, random, times, start);
  if (tracks != Tracks::kPosition) write_rotations(out, random, times);
  if (tracks == Tracks::kPositionRotationScale) write_scales(out, random, times);
  out.text("\t}");
  out.end_line();
}

}  // namespace kestrun::scenegen
