// The MESH block of a generated object.
#pragma once

#include <cstdint>

#include "gen/node_tm.h"
#include "gen/out_buffer.h"
#include "gen/random.h"

namespace kestrun::scenegen {

/// Writes a textured MESH block (one tab deep) of `vertices` vertices and twice
/// as many faces, laid out as mesh_layout says, spread around `center` and
/// staying within 1000 units of the origin. Normals are the faces' true normals
/// and, per corner, the average of the normals of the faces around the vertex.
void write_mesh(OutBuffer& out, Random& random, const Point& center, std::int64_t vertices);

}  // namespace kestrun::scenegen
