#include "gen/node_tm.h"

#include <cmath>

namespace kestrun::scenegen {

namespace {

Units round_units(double value) { return std::llround(value * static_cast<double>(kOne)); }

void write_vector_line(OutBuffer& out, std::string_view keyword, const Vec3& v) {
  out.tabs(2);
  out.text(keyword);
  out.put(' ');
  write_vector_values(out, v);
}

void write_inherit_line(OutBuffer& out, std::string_view keyword, bool inherit) {
  out.tabs(2);
  out.text(keyword);
  out.text(inherit ? " 1 1 1" : " 0 0 0");
  out.end_line();
}

void write_single_line(OutBuffer& out, std::string_view keyword, Units value) {
  out.tabs(2);
  out.text(keyword);
  out.put(' ');
  out.fixed4(value);
  out.end_line();
}

}  // namespace

void write_vector_values(OutBuffer& out, const Vec3& v) {
  out.fixed4_rounded(v.x);
  out.put('\t');
  out.fixed4_rounded(v.y);
  out.put('\t');
  out.fixed4_rounded(v.z);
  out.end_line();
}

Point random_point(Random& random, Units reach) {
  return {random.uniform(-reach, reach), random.uniform(-reach, reach), random.uniform(-reach, reach)};
}

NodeTransform random_transform(Random& random, Units reach) {
  NodeTransform transform;
  transform.position = random_point(random, reach);
  transform.axis = random_unit_vector(random);
  transform.angle = random.uniform(1, kPi);
  return transform;
}

NodeTransform still_transform(const Point& position) {
  NodeTransform transform;
  transform.position = position;
  return transform;
}

Units distance(const Point& a, const Point& b) {
  const Vec3 offset{static_cast<double>(a[0] - b[0]), static_cast<double>(a[1] - b[1]),
                    static_cast<double>(a[2] - b[2])};
  return std::llround(length(offset));
}

void write_values(OutBuffer& out, const Units* values, int count) {
  for (int i = 0; i < count; ++i) {
    if (i != 0) out.put('\t');
    out.fixed4(values[i]);
  }
}

void write_triple_line(OutBuffer& out, int indent, std::string_view keyword, const Point& values) {
  out.tabs(indent);
  out.text(keyword);
  out.put(' ');
  write_values(out, values.data(), 3);
  out.end_line();
}

void write_node_tm(OutBuffer& out, std::string_view name, const NodeTransform& transform) {
  out.text("\t*NODE_TM {");
  out.end_line();
  out.text("\t\t*NODE_NAME \"");
  out.text(name);
  out.put('"');
  out.end_line();
  write_inherit_line(out, "*INHERIT_POS", false);
  write_inherit_line(out, "*INHERIT_ROT", false);
  write_inherit_line(out, "*INHERIT_SCL", transform.inherit_scale);

  const double angle = static_cast<double>(transform.angle) / static_cast<double>(kOne);
  const std::array<Vec3, 3> rows = rotation_rows(transform.axis, angle);
  write_vector_line(out, "*TM_ROW0", rows[0]);
  write_vector_line(out, "*TM_ROW1", rows[1]);
  write_vector_line(out, "*TM_ROW2", rows[2]);
  write_triple_line(out, 2, "*TM_ROW3", transform.position);
  write_triple_line(out, 2, "*TM_POS", transform.position);
  const Point axis{round_units(transform.axis.x), round_units(transform.axis.y),
                   round_units(transform.axis.z)};
  write_triple_line(out, 2, "*TM_ROTAXIS", axis);
  write_single_line(out, "*TM_ROTANGLE", transform.angle);
  write_triple_line(out, 2, "*TM_SCALE", {kOne, kOne, kOne});
  write_triple_line(out, 2, "*TM_SCALEAXIS", {0, 0, 0});
  write_single_line(out, "*TM_SCALEAXISANG", 0);
  out.text("\t}");
  out.end_line();
}

}  // namespace kestrun::scenegen
