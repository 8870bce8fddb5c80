#include <vector>

#include "gen/scene.h"

namespace kestrun::scenegen {

namespace {

// The vertices wind round the tube of the torus like a helix: each is
// 1/columns of a turn on from the one before, so i, i+1, i+columns and
// i+columns+1 span a square of the grid. The tube turns a whole number of
// times over all the vertices, so the last squares join the first: a closed
// surface for any count from 9 (3 by 3) up.
struct Winding {
  std::int64_t vertices;
  std::int64_t columns;  // vertices per turn of the tube
  std::int64_t turns;    // turns of the tube round the ring

  // Even faces are (i, i+1, i+c) and odd ones (i+1, i+c+1, i+c), i = face / 2.
  [[nodiscard]] std::array<std::int64_t, 3> corners(std::int64_t face) const {
    const std::int64_t i = face / 2;
    if (face % 2 == 0) return {i, (i + 1) % vertices, (i + columns) % vertices};
    return {(i + 1) % vertices, (i + columns + 1) % vertices, (i + columns) % vertices};
  }
  // How far round the tube vertex i is, in turns.
  [[nodiscard]] double across(std::int64_t i) const {
    return static_cast<double>(i * turns % vertices) / static_cast<double>(vertices);
  }
};

SinCos turn(double fraction) { return sin_cos(2.0 * kPi * (fraction - std::floor(fraction + 0.5))); }

}  // namespace

void write_mesh(Out& out, Random& random, std::int64_t vertices, const Node& node) {
  std::int64_t columns = 3;
  while ((columns + 1) * (columns + 1) <= vertices) ++columns;
  const Winding w{vertices, columns, (vertices + columns / 2) / columns};
  const std::int64_t faces = 2 * vertices;
  const auto count = static_cast<double>(vertices);
  const auto rows = rotation_rows(node.axis, node.angle);
  const double ring = random.uniform(150.0, 250.0);
  const double tube = ring * random.uniform(0.25, 0.45);

  out.print("\t*MESH {\n\t\t*TIMEVALUE 0\n\t\t*MESH_NUMVERTEX %d\n\t\t*MESH_NUMFACES %d\n", vertices, faces);
  out.print("\t\t*MESH_VERTEX_LIST {\n");
  std::vector<Vec3> points;
  for (std::int64_t i = 0; i < vertices; ++i) {
    // Jitter of a fifth of a grid step each way, and of 5% on the tube radius.
    const SinCos u = turn((static_cast<double>(i) + random.uniform(-0.2, 0.2) * columns) / count);
    const SinCos v = turn(w.across(i) + random.uniform(-0.2, 0.2) * w.turns / count);
    const double radius = tube * random.uniform(0.95, 1.05);
    const double out_from_axis = ring + radius * v.cos;
    // z runs against the tube angle so that the faces wind with their normals outwards.
    const Vec3 local{out_from_axis * u.cos, out_from_axis * u.sin, -radius * v.sin};
    const Vec3& p =
        points.emplace_back(rows[0] * local.x + rows[1] * local.y + rows[2] * local.z + node.position);
    out.print("\t\t\t*MESH_VERTEX %4d\t%.4f\t%.4f\t%.4f\n", i, p.x, p.y, p.z);
  }
  out.print("\t\t}\n\t\t*MESH_FACE_LIST {\n");
  for (std::int64_t face = 0; face < faces; ++face) {
    const auto [a, b, c] = w.corners(face);
    // The diagonal of each grid square is the hidden edge; rows of squares alternate materials.
    out.print(face % 2 == 0 ? "\t\t\t*MESH_FACE %4d:    A: %4d B: %4d C: %4d AB:    1 BC:    0 CA:    1"
                            : "\t\t\t*MESH_FACE %4d:    A: %4d B: %4d C: %4d AB:    1 BC:    1 CA:    0",
              face, a, b, c);
    out.print("\t *MESH_SMOOTHING 1 \t*MESH_MTLID %d\n", face / 2 / columns % 2);
  }
  out.print("\t\t}\n\t\t*MESH_NUMTVERTEX %d\n\t\t*MESH_TVERTLIST {\n", vertices);
  for (std::int64_t i = 0; i < vertices; ++i) {
    out.print("\t\t\t*MESH_TVERT %d\t%.4f\t%.4f\t%.4f\n", i, static_cast<double>(i) / count, w.across(i),
              0.0);
  }
  out.print("\t\t}\n\t\t*MESH_NUMTVFACES %d\n\t\t*MESH_TFACELIST {\n", faces);
  for (std::int64_t face = 0; face < faces; ++face) {
    const auto [a, b, c] = w.corners(face);
    out.print("\t\t\t*MESH_TFACE %d\t%d\t%d\t%d\n", face, a, b, c);
  }
  out.print("\t\t}\n\t\t*MESH_NUMCVERTEX 0\n\t\t*MESH_NORMALS {\n");

  // A vertex normal is the mean direction of the six faces round the vertex.
  std::vector<Vec3> face_normals;
  std::vector<Vec3> vertex_normals(points.size());
  for (std::int64_t face = 0; face < faces; ++face) {
    const auto corners = w.corners(face);
    const auto at = [&](int corner) { return points[static_cast<std::size_t>(corners[corner])]; };
    face_normals.push_back(normalized(cross(at(1) - at(0), at(2) - at(0))));
    for (const std::int64_t corner : corners) {
      Vec3& sum = vertex_normals[static_cast<std::size_t>(corner)];
      sum = sum + face_normals.back();
    }
  }
  for (std::int64_t face = 0; face < faces; ++face) {
    const Vec3 n = face_normals[static_cast<std::size_t>(face)];
    out.print("\t\t\t*MESH_FACENORMAL %d\t%.4f\t%.4f\t%.4f\n", face, n.x, n.y, n.z);
    for (const std::int64_t corner : w.corners(face)) {
      const Vec3 m = normalized(vertex_normals[static_cast<std::size_t>(corner)]);
      out.print("\t\t\t\t*MESH_VERTEXNORMAL %d\t%.4f\t%.4f\t%.4f\n", corner, m.x, m.y, m.z);
    }
  }
  out.print("\t\t}\n\t}\n");
}

}  // namespace kestrun::scenegen
