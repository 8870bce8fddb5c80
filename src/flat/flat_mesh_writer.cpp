#include "flat/flat_mesh_writer.h"

namespace kestrun::flat {

void write_vertices(MaWriter& out, std::int32_t count, std::span<const MeshVertex> vertices) {
  out.print<" setAttr -s %d \".vt[0:%d]\"\n">(count, count - 1);
  for (std::int32_t i = 0; i < count; ++i) {
    const auto index = static_cast<std::size_t>(i);
    const MeshVertex vertex = index < vertices.size() ? vertices[index] : MeshVertex{};
    out.print<"                 %f %f %f\n">(vertex.x, vertex.y, vertex.z);
  }
  out.print<";\n">();
}

void write_edges_and_faces(MaWriter& out, std::int32_t count, std::span<const MeshFace> faces) {
  // Three edges per face: counted in 64 bits, a declared count near the
  // 32-bit limit must not wrap.
  const std::int64_t edge_count = std::int64_t{3} * count;
  // The header's last space starts the first edge line, which thus has 18.
  out.print<" setAttr -s %d \".ed[0:%d]\"\n ">(edge_count, edge_count - 1);
  for (std::int32_t i = 0; i < count; ++i) {
    const auto index = static_cast<std::size_t>(i);
    const MeshFace face = index < faces.size() ? faces[index] : MeshFace{};
    out.print<"                 %d %d 1\n">(face.a, face.b);
    out.print<"                 %d %d 1\n">(face.b, face.c);
    out.print<"                 %d %d 1\n\n">(face.c, face.a);
  }
  out.print<";\n\n">();

  out.print<" setAttr -s %d \".fc[0:%d]\" -type \"polyFaces\" \n\n ">(count, count - 1);
  for (std::int64_t first_edge = 0; first_edge < edge_count; first_edge += 3) {
    out.print<" f 3 %d %d %d\n">(first_edge, first_edge + 1, first_edge + 2);
  }
  out.print<";\n\n">();
}

}  // namespace kestrun::flat
