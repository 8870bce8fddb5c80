// The polylines of SHAPEOBJECTs.
#include <string>

#include "reader/part_readers.h"

namespace kestrun::reader {

ShapeLine read_shape_line(BlockReader& reader) {
  ShapeLine line;
  std::int64_t declared = -1;
  bool in_order = true;
  reader.read_block(spelling(Keyword::ShapeLine), [&](Keyword keyword) {
    switch (keyword) {
      case Keyword::ShapeClosed:
        line.closed = true;
        break;
      case Keyword::ShapeVertexCount:
        declared = reader.integer(spelling(Keyword::ShapeVertexCount));
        break;
      case Keyword::ShapeVertexKnot:
      case Keyword::ShapeVertexInterp: {
        // Knots and the points between them are one polyline, in file order.
        const std::int64_t number = reader.integer("SHAPE_VERTEX");
        if (number != static_cast<std::int64_t>(line.points.size()) && in_order) {
          reader.note("SHAPE_VERTEX lines are not numbered in order; they are taken in file order");
          in_order = false;
        }
        line.points.push_back(reader.vec3("SHAPE_VERTEX"));
        break;
      }
      default:
        break;
    }
  });
  if (declared >= 0 && static_cast<std::uint64_t>(declared) != line.points.size()) {
    reader.note("SHAPE_VERTEXCOUNT says " + std::to_string(declared) + " but the line has " +
                std::to_string(line.points.size()) + " points; those of the line are taken");
  }
  return line;
}

}  // namespace kestrun::reader
