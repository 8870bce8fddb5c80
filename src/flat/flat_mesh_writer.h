// Writes a mesh's vertices, edges and triangular faces as Maya attributes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "maya/ma_writer.h"

namespace kestrun::flat {

struct MeshVertex {
  float x = 0.0F;
  float y = 0.0F;
  float z = 0.0F;
};

struct MeshFace {
  std::int32_t a = 0;
  std::int32_t b = 0;
  std::int32_t c = 0;
};

/// The tables of the MESH block being read. A table holds the entries that
/// lines have filled so far (never more than its count), so memory follows
/// the lines really present, not a declared count. The conversion keeps one
/// pair for all its meshes: emptied for each mesh, they keep their capacity,
/// so a scene of many meshes allocates only for its largest one.
struct MeshTables {
  std::vector<MeshVertex> vertices;
  std::vector<MeshFace> faces;
};

/// Writes the ".vt" attribute with `count` entries: entry i is vertices[i],
/// or zeros where the list had fewer lines than its count.
void write_vertices(MaWriter& out, std::int32_t count, std::span<const MeshVertex> vertices);

/// Writes the ".ed" attribute (three edges of its own per face, A-B, B-C,
/// C-A) and the ".fc" attribute for `count` faces; missing faces are zeros.
void write_edges_and_faces(MaWriter& out, std::int32_t count, std::span<const MeshFace> faces);

}  // namespace kestrun::flat
