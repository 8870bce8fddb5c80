// How a generated mesh ties its vertices into faces.
#pragma once

#include <array>
#include <cstdint>

namespace kestrun::scenegen {

/// The vertices form a grid `columns` wide whose rows run on into each other
/// and whose end joins its start (a helix closed on itself). Every vertex is a
/// corner of exactly six faces and there are exactly twice as many faces as
/// vertices, for any vertex count from 4 up.
struct MeshLayout {
  std::int64_t vertices = 0;
  std::int64_t columns = 0;
  std::int64_t rows = 0;
  std::int64_t faces = 0;
};

/// The smallest mesh the layout can make.
inline constexpr std::int64_t kMinVertices = 4;

/// The layout for `vertices` vertices (at least kMinVertices).
MeshLayout mesh_layout(std::int64_t vertices);

/// Corners of `face`: even faces are (i, i+1, i+c), odd ones (i+1, i+c+1, i+c),
/// with i = face / 2 and c the column count, all modulo the vertex count.
std::array<std::int64_t, 3> face_corners(const MeshLayout& layout, std::int64_t face);

/// Bytes that the index numbers (list positions and face corners) take in the
/// MESH block of a mesh with `vertices` vertices. Everything else in the block
/// grows in proportion to the vertex count, so this is what makes the size of
/// a large mesh predictable from a smaller one.
std::uint64_t mesh_index_bytes(std::int64_t vertices);

}  // namespace kestrun::scenegen
