// A node's transform and the NODE_TM block that states it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "gen/out_buffer.h"
#include "gen/random.h"
#include "gen/vec_math.h"

namespace kestrun::scenegen {

/// Lengths and angles are whole ten-thousandths, the exporter's resolution.
using Units = std::int64_t;
using Point = std::array<Units, 3>;

/// One ten-thousandth per unit: 1.0 is 10000.
inline constexpr Units kOne = 10000;
/// Pi rounded down to four decimals, so angles stay within 0..pi.
inline constexpr Units kPi = 31415;

/// Writes the three components of `v` to four decimals, tab-separated, and
/// ends the line: the value part of every vector line of a scene.
void write_vector_values(OutBuffer& out, const Vec3& v);

struct NodeTransform {
  Point position{};
  Vec3 axis{};                 // unit length, or zero when the node is not rotated
  Units angle = 0;             // radians, 0..pi
  bool inherit_scale = false;  // the exporter writes "INHERIT_SCL 1 1 1" for target cameras
};

/// A transform at a random point within `reach` of the origin on each axis,
/// turned by a random angle about a random axis.
NodeTransform random_transform(Random& random, Units reach);
/// An unrotated transform at `position`, as the exporter writes for targets.
NodeTransform still_transform(const Point& position);
/// A random point within `reach` of the origin on each axis.
Point random_point(Random& random, Units reach);
/// The distance between two points, in the same units.
Units distance(const Point& a, const Point& b);

/// Writes `count` values in ten-thousandths, tab-separated.
void write_values(OutBuffer& out, const Units* values, int count);
/// Writes `indent` tabs, the keyword, a space, three tab-separated values and the line end.
void write_triple_line(OutBuffer& out, int indent, std::string_view keyword, const Point& values);
/// Writes the NODE_TM block (one tab deep) for the node `name`.
void write_node_tm(OutBuffer& out, std::string_view name, const NodeTransform& transform);

}  // namespace kestrun::scenegen
