#include "gen/mesh_block.h"

#include <vector>

#include "gen/mesh_layout.h"
#include "gen/node_tm.h"
#include "gen/vec_math.h"

namespace kestrun::scenegen {

namespace {

// A grid of up to +-450 units around a centre within +-400 stays inside +-1000.
constexpr Units kMinHalfSize = 300 * kOne;
constexpr Units kMaxHalfSize = 450 * kOne;
constexpr Units kRelief = 30 * kOne;

Vec3 to_vec(const Point& p) {
  return {static_cast<double>(p[0]), static_cast<double>(p[1]), static_cast<double>(p[2])};
}

std::vector<Point> make_positions(Random& random, const MeshLayout& layout, const Point& center) {
  const Units half_width = random.uniform(kMinHalfSize, kMaxHalfSize);
  const Units half_depth = random.uniform(kMinHalfSize, kMaxHalfSize);
  const Units step_x = 2 * half_width / layout.columns;
  const Units step_y = 2 * half_depth / layout.rows;
  std::vector<Point> positions(static_cast<std::size_t>(layout.vertices));
  for (std::int64_t i = 0; i < layout.vertices; ++i) {
    const Units column = i % layout.columns;
    const Units row = i / layout.columns;
    // A quarter step of jitter keeps the grid from looking machine-made without folding it.
    positions[static_cast<std::size_t>(i)] = {
        center[0] - half_width + column * step_x + random.uniform(-step_x / 4, step_x / 4),
        center[1] - half_depth + row * step_y + random.uniform(-step_y / 4, step_y / 4),
        center[2] + random.uniform(-kRelief, kRelief)};
  }
  return positions;
}

struct Normals {
  std::vector<Vec3> faces;
  std::vector<Vec3> vertices;
};

Normals make_normals(const MeshLayout& layout, const std::vector<Point>& positions) {
  Normals normals;
  normals.faces.resize(static_cast<std::size_t>(layout.faces));
  normals.vertices.resize(positions.size());
  for (std::int64_t face = 0; face < layout.faces; ++face) {
    const auto corners = face_corners(layout, face);
    const Vec3 a = to_vec(positions[static_cast<std::size_t>(corners[0])]);
    const Vec3 b = to_vec(positions[static_cast<std::size_t>(corners[1])]);
    const Vec3 c = to_vec(positions[static_cast<std::size_t>(corners[2])]);
    const Vec3 normal = normalized(cross(b - a, c - a));
    normals.faces[static_cast<std::size_t>(face)] = normal;
    for (const std::int64_t corner : corners) {
      Vec3& sum = normals.vertices[static_cast<std::size_t>(corner)];
      sum = sum + normal;
    }
  }
  for (Vec3& normal : normals.vertices) normal = normalized(normal);
  return normals;
}

void write_count_line(OutBuffer& out, std::string_view keyword, std::int64_t count) {
  out.text(keyword);
  out.integer(count);
  out.end_line();
}

void write_close(OutBuffer& out) {
  out.text("\t\t}");
  out.end_line();
}

void write_vertex_list(OutBuffer& out, const std::vector<Point>& positions) {
  out.text("\t\t*MESH_VERTEX_LIST {");
  out.end_line();
  for (std::size_t i = 0; i < positions.size(); ++i) {
    out.text("\t\t\t*MESH_VERTEX ");
    out.padded(static_cast<std::int64_t>(i), 4);
    out.put('\t');
    write_values(out, positions[i].data(), 3);
    out.end_line();
  }
  write_close(out);
}

void write_face_list(OutBuffer& out, const MeshLayout& layout) {
  out.text("\t\t*MESH_FACE_LIST {");
  out.end_line();
  for (std::int64_t face = 0; face < layout.faces; ++face) {
    const auto corners = face_corners(layout, face);
    // The diagonal of each grid square is the hidden edge: BC on even faces, CA on odd ones.
    const bool even = face % 2 == 0;
    out.text("\t\t\t*MESH_FACE ");
    out.padded(face, 4);
    out.text(":    A: ");
    out.padded(corners[0], 4);
    out.text(" B: ");
    out.padded(corners[1], 4);
    out.text(" C: ");
    out.padded(corners[2], 4);
    out.text(even ? " AB:    1 BC:    0 CA:    1" : " AB:    1 BC:    1 CA:    0");
    out.text("\t *MESH_SMOOTHING 1 \t*MESH_MTLID ");
    out.integer((face / 2 / layout.columns) % 2);
    out.end_line();
  }
  write_close(out);
}

void write_texture(OutBuffer& out, const MeshLayout& layout) {
  write_count_line(out, "\t\t*MESH_NUMTVERTEX ", layout.vertices);
  out.text("\t\t*MESH_TVERTLIST {");
  out.end_line();
  const Units last_row = layout.rows > 1 ? layout.rows - 1 : 1;
  for (std::int64_t i = 0; i < layout.vertices; ++i) {
    const Point uvw{(i % layout.columns) * kOne / (layout.columns - 1),
                    (i / layout.columns) * kOne / last_row, 0};
    out.text("\t\t\t*MESH_TVERT ");
    out.integer(i);
    out.put('\t');
    write_values(out, uvw.data(), 3);
    out.end_line();
  }
  write_close(out);
  write_count_line(out, "\t\t*MESH_NUMTVFACES ", layout.faces);
  out.text("\t\t*MESH_TFACELIST {");
  out.end_line();
  for (std::int64_t face = 0; face < layout.faces; ++face) {
    const auto corners = face_corners(layout, face);
    out.text("\t\t\t*MESH_TFACE ");
    out.integer(face);
    for (const std::int64_t corner : corners) {
      out.put('\t');
      out.integer(corner);
    }
    out.end_line();
  }
  write_close(out);
}

void write_normal_values(OutBuffer& out, const Vec3& normal) {
  out.put('\t');
  write_vector_values(out, normal);
}

void write_normals(OutBuffer& out, const MeshLayout& layout, const Normals& normals) {
  out.text("\t\t*MESH_NORMALS {");
  out.end_line();
  for (std::int64_t face = 0; face < layout.faces; ++face) {
    out.text("\t\t\t*MESH_FACENORMAL ");
    out.integer(face);
    write_normal_values(out, normals.faces[static_cast<std::size_t>(face)]);
    for (const std::int64_t corner : face_corners(layout, face)) {
      out.text("\t\t\t\t*MESH_VERTEXNORMAL ");
      out.integer(corner);
      write_normal_values(out, normals.vertices[static_cast<std::size_t>(corner)]);
    }
  }
  write_close(out);
}

}  // namespace

void write_mesh(OutBuffer& out, Random& random, const Point& center, std::int64_t vertices) {
  const MeshLayout layout = mesh_layout(vertices);
  const std::vector<Point> positions = make_positions(random, layout, center);
  out.text("\t*MESH {");
  out.end_line();
  write_count_line(out, "\t\t*TIMEVALUE ", 0);
  write_count_line(out, "\t\t*MESH_NUMVERTEX ", layout.vertices);
  write_count_line(out, "\t\t*MESH_NUMFACES ", layout.faces);
  write_vertex_list(out, positions);
  write_face_list(out, layout);
  write_texture(out, layout);
  write_count_line(out, "\t\t*MESH_NUMCVERTEX ", 0);
  write_normals(out, layout, make_normals(layout, positions));
  out.text("\t}");
  out.end_line();
}

}  // namespace kestrun::scenegen
