#include "extended/shape_writer.h"

#include <string>

namespace kestrun::extended {
namespace {

float single(double value) { return static_cast<float>(value); }

bool same_point(Vec3 a, Vec3 b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

}  // namespace

void write_shape_lines(MayaOutput& output, std::string_view transform, const std::vector<ShapeLine>& lines,
                       const Matrix43& to_local) {
  MaWriter& out = output.out;
  for (const ShapeLine& line : lines) {
    std::size_t points = line.points.size();
    // A closed line that repeats its first point at the end closes once.
    if (line.closed && points > 1 && same_point(line.points.front(), line.points.back())) --points;
    if (points < 2) {
      output.warnings.note("a SHAPE_LINE of fewer than two points is left out");
      continue;
    }
    const bool closed = line.closed && points > 2;
    const std::size_t spans = closed ? points : points - 1;
    const std::string shape = output.names.claim(std::string(transform) + "Shape");
    out.print<"createNode nurbsCurve -n \"%s\" -p \"%s\";\n\tsetAttr -k off \".v\";\n">(shape, transform);
    // Degree, spans, form (0 open, 2 periodic), not rational, three dimensions;
    // then a knot per point, and the points.
    out.print<"\tsetAttr \".cc\" -type \"nurbsCurve\" \n\t\t1 %d %d no 3\n\t\t%d">(spans, closed ? 2 : 0,
                                                                                   spans + 1);
    for (std::size_t knot = 0; knot <= spans; ++knot) {
      if (knot > 0 && knot % 16 == 0) out.append("\n\t\t");
      out.print<" %d">(knot);
    }
    out.print<"\n\t\t%d\n">(spans + 1);
    for (std::size_t i = 0; i <= spans; ++i) {
      const Vec3 p = to_local.apply(line.points[i % points]);
      out.print<"\t\t%r %r %r\n">(single(p.x), single(p.y), single(p.z));
    }
    out.append("\t\t;\n");
  }
}

}  // namespace kestrun::extended
