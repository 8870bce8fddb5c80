#include "extended/mesh_writer.h"

#include <bit>
#include <cmath>
#include <limits>

namespace kestrun::extended {
namespace {

constexpr std::uint64_t kNoKey = std::numeric_limits<std::uint64_t>::max();

float single(double value) { return static_cast<float>(value); }

bool valid_corners(const std::array<std::uint32_t, 3>& corners, std::size_t list_size) {
  return corners[0] < list_size && corners[1] < list_size && corners[2] < list_size;
}

/// The order a face's corners A, B, C are written in.
using CornerOrder = std::array<std::size_t, 3>;
constexpr CornerOrder kFileOrder = {0, 1, 2};
constexpr CornerOrder kMirroredOrder = {0, 2, 1};

template <class Corners>
Corners reordered(const Corners& corners, const CornerOrder& order) {
  return {corners[order[0]], corners[order[1]], corners[order[2]]};
}

/// The unit normal of a face in the node's space, for corners the file gives none.
std::array<float, 3> face_normal(const Mesh& mesh, const Mesh::Face& face, const Matrix43& to_local,
                                 const CornerOrder& order) {
  const auto corners = reordered(face.corners, order);
  const Vec3 a = to_local.apply(mesh.vertices[corners[0]]);
  const Vec3 b = to_local.apply(mesh.vertices[corners[1]]);
  const Vec3 c = to_local.apply(mesh.vertices[corners[2]]);
  const Vec3 n = cross(b - a, c - a);
  const double length = std::sqrt(dot(n, n));
  if (!(length > 0)) return {0.0F, 0.0F, 1.0F};
  return {single(n.x / length), single(n.y / length), single(n.z / length)};
}

bool finite_normal(const std::array<float, 3>& n) {
  return std::isfinite(n[0]) && std::isfinite(n[1]) && std::isfinite(n[2]);
}

/// Whether an edge between two faces is soft. Without the file's normals,
/// the smoothing groups decide (soft when the faces share one). With them,
/// the look they give decides: hard where the faces' normals differ at
/// either end (a crease, whatever the groups say); where they agree, the
/// groups decide if either face has one, and otherwise the edge is soft if
/// the normals are smoothed (at an end they differ from both faces' own).
class EdgeSmoothing {
 public:
  EdgeSmoothing(const Mesh& mesh, const Matrix43& to_local, const CornerOrder& order,
                const std::vector<std::uint8_t>& flat)
      : mesh_(mesh),
        to_local_(to_local),
        order_(order),
        flat_(flat),
        normals_(!mesh.corner_normals.empty()),
        pairwise_(normals_ || !flat.empty()) {}

  [[nodiscard]] bool soft(std::uint32_t f1, std::uint32_t f2, std::uint32_t u, std::uint32_t v) const {
    if (!flat_.empty() && (flat(f1) || flat(f2))) return false;
    const std::uint32_t g1 = mesh_.faces[f1].smoothing, g2 = mesh_.faces[f2].smoothing;
    if (!normals_) return (g1 & g2) != 0;
    const std::array<float, 3> n1u = corner_normal(f1, u), n2u = corner_normal(f2, u);
    const std::array<float, 3> n1v = corner_normal(f1, v), n2v = corner_normal(f2, v);
    if (differ(n1u, n2u) || differ(n1v, n2v)) return false;
    if ((g1 | g2) != 0) return (g1 & g2) != 0;
    const std::array<float, 3> own1 = own_normal(f1), own2 = own_normal(f2);
    return (differ(n1u, own1) && differ(n1u, own2)) || (differ(n1v, own1) && differ(n1v, own2));
  }

  /// True if each face on an edge is weighed against the first (the file's normals or flat
  /// faces decide), false if the smoothing groups met so far do.
  [[nodiscard]] bool uses_normals() const { return pairwise_; }
  [[nodiscard]] bool flat(std::uint32_t f) const { return f < flat_.size() && flat_[f] != 0; }

  [[nodiscard]] std::array<float, 3> own_normal(std::uint32_t f) const {
    if (f < mesh_.face_normals.size() && finite_normal(mesh_.face_normals[f])) return mesh_.face_normals[f];
    return geometric_normal(f);
  }

 private:
  static bool differ(const std::array<float, 3>& a, const std::array<float, 3>& b) {
    // Unit normals written with four decimals: a thousandth is a real difference.
    constexpr float kSame = 1e-3F;
    return std::fabs(a[0] - b[0]) > kSame || std::fabs(a[1] - b[1]) > kSame || std::fabs(a[2] - b[2]) > kSame;
  }

  /// The normal written for face f's corner at vertex v.
  [[nodiscard]] std::array<float, 3> corner_normal(std::uint32_t f, std::uint32_t v) const {
    const auto& corners = mesh_.faces[f].corners;
    const std::size_t k = corners[0] == v ? 0 : corners[1] == v ? 1 : 2;
    const std::array<float, 3>& n = mesh_.corner_normals[3 * std::size_t{f} + k];
    return finite_normal(n) ? n : geometric_normal(f);
  }

  [[nodiscard]] std::array<float, 3> geometric_normal(std::uint32_t f) const {
    return face_normal(mesh_, mesh_.faces[f], to_local_, order_);
  }

  const Mesh& mesh_;
  const Matrix43& to_local_;
  const CornerOrder& order_;
  const std::vector<std::uint8_t>& flat_;
  bool normals_;
  bool pairwise_;
};

/// Finds every vertex pair once: each kept face's three edges become
/// references to shared edges, soft or hard as `smoothing` says of the
/// first face on the edge and each later one.
void build_edges(MeshWorkspace& w, const Mesh& mesh, const CornerOrder& order,
                 const EdgeSmoothing& smoothing) {
  const std::size_t wanted = std::bit_ceil(std::max<std::size_t>(16, w.kept_faces.size() * 4));
  w.edge_keys.assign(wanted, kNoKey);
  w.edge_slots.resize(wanted);
  w.edge_vertices.clear();
  w.edge_groups.clear();
  w.edge_soft.clear();
  w.face_edges.clear();
  const std::size_t mask = wanted - 1;
  for (const std::uint32_t f : w.kept_faces) {
    const Mesh::Face& face = mesh.faces[f];
    const auto corners = reordered(face.corners, order);
    for (std::size_t side = 0; side < 3; ++side) {
      const std::uint32_t from = corners[side];
      const std::uint32_t to = corners[(side + 1) % 3];
      const std::uint64_t key = (std::uint64_t{std::min(from, to)} << 32) | std::max(from, to);
      std::size_t slot = (key * 0x9E3779B97F4A7C15ULL >> 20) & mask;
      while (w.edge_keys[slot] != kNoKey && w.edge_keys[slot] != key) slot = (slot + 1) & mask;
      std::uint32_t edge;
      if (w.edge_keys[slot] == kNoKey) {
        w.edge_keys[slot] = key;
        edge = static_cast<std::uint32_t>(w.edge_groups.size());
        w.edge_slots[slot] = edge;
        w.edge_vertices.push_back(from);
        w.edge_vertices.push_back(to);
        // With the file's normals, the first face on the edge; without, the groups met so far.
        w.edge_groups.push_back(smoothing.uses_normals() ? f : face.smoothing);
        w.edge_soft.push_back(0);
      } else {
        edge = w.edge_slots[slot];
        if (smoothing.uses_normals()) {
          if (smoothing.soft(w.edge_groups[edge], f, from, to)) w.edge_soft[edge] = 1;
        } else {
          if ((w.edge_groups[edge] & face.smoothing) != 0) w.edge_soft[edge] = 1;
          w.edge_groups[edge] |= face.smoothing;
        }
      }
      const bool forward = w.edge_vertices[2 * std::size_t{edge}] == from;
      w.face_edges.push_back(forward ? std::int64_t{edge} : -std::int64_t{edge} - 1);
    }
  }
}

/// Consecutive runs of Maya face numbers, as a componentList's entries.
std::string face_ranges(const std::vector<std::uint32_t>& faces, std::size_t& count) {
  std::string ranges;
  count = 0;
  for (std::size_t i = 0; i < faces.size();) {
    std::size_t j = i;
    while (j + 1 < faces.size() && faces[j + 1] == faces[j] + 1) ++j;
    ranges.append(" \"f[").append(std::to_string(faces[i]));
    if (j > i) ranges.append(":").append(std::to_string(faces[j]));
    ranges.append("]\"");
    ++count;
    i = j + 1;
  }
  return ranges;
}

void write_render_flags(MaWriter& out, const MeshLook& look) {
  if (look.casts_shadows == false) out.append("\tsetAttr \".csh\" no;\n");
  if (look.receives_shadows == false) out.append("\tsetAttr \".rcsh\" no;\n");
  if (look.motion_blur == false) out.append("\tsetAttr \".mb\" no;\n");
  if (!look.double_sided) out.append("\tsetAttr \".ds\" no;\n");
}

/// The validation step before writing: the faces Maya can take, with each
/// problem of the others noted once per kind (for a shape that holds data).
void keep_valid_faces(MeshWorkspace& w, const Mesh& mesh, Warnings* warnings) {
  w.kept_faces.clear();
  for (std::uint32_t f = 0; f < mesh.faces.size(); ++f) {
    const auto& corners = mesh.faces[f].corners;
    if (!valid_corners(corners, mesh.vertices.size())) {
      if (warnings) warnings->note("faces with a corner outside the vertex list are left out");
    } else if (corners[0] == corners[1] || corners[1] == corners[2] || corners[2] == corners[0]) {
      if (warnings) warnings->note("faces with a repeated corner (no area) are left out");
    } else {
      w.kept_faces.push_back(f);
    }
  }
}

/// The shading groups the kept faces use and, when there are several, each
/// one's faces as a componentList.
struct FaceSets {
  std::vector<std::size_t> used_groups;
  std::vector<std::string> face_lists;  // Empty unless per_face.
  bool per_face = false;
};

FaceSets face_sets(const MeshWorkspace& w, const FaceShading& shading, bool shaded) {
  std::vector<std::vector<std::uint32_t>> group_faces(std::max<std::size_t>(1, shading.groups.size()));
  for (std::uint32_t maya_face = 0; maya_face < w.kept_faces.size(); ++maya_face) {
    const std::uint32_t f = w.kept_faces[maya_face];
    group_faces[shading.face_group.empty() ? 0 : shading.face_group[f]].push_back(maya_face);
  }
  FaceSets sets;
  for (std::size_t g = 0; g < group_faces.size(); ++g) {
    if (!group_faces[g].empty()) sets.used_groups.push_back(g);
  }
  sets.per_face = shaded && sets.used_groups.size() > 1;
  if (sets.per_face) {
    for (const std::size_t g : sets.used_groups) {
      std::size_t count = 0;
      const std::string ranges = face_ranges(group_faces[g], count);
      sets.face_lists.push_back(std::to_string(count) + ranges);
    }
  }
  return sets;
}

void write_face_sets(MaWriter& out, const FaceSets& sets, MeshRole role) {
  if (!sets.per_face) return;
  // A deformed shape keeps one more objectGroup, for its deformer's set.
  const std::size_t groups = sets.used_groups.size() + (role == MeshRole::Deformed ? 1 : 0);
  out.print<"\tsetAttr -s %d \".iog[0].og\";\n">(groups);
  for (std::size_t k = 0; k < sets.face_lists.size(); ++k) {
    out.print<"\tsetAttr \".iog[0].og[%d].gcl\" -type \"componentList\" %s;\n">(k, sets.face_lists[k]);
  }
}

/// UV sets: map1 from the main list, "map<n>" from further channels; their
/// coordinates when the shape holds data. Returns the sets written.
std::vector<const Mesh::Channel*> write_uv_sets(MaWriter& out, const Mesh& mesh, bool data) {
  std::vector<const Mesh::Channel*> uv_sets;
  for (const Mesh::Channel& channel : mesh.channels) {
    if (!channel.coordinates.empty()) uv_sets.push_back(&channel);
  }
  for (std::size_t k = 0; k < uv_sets.size(); ++k) {
    const std::string set_name = "map" + std::to_string(uv_sets[k]->number);
    out.print<"\tsetAttr \".uvst[%d].uvsn\" -type \"string\" \"%s\";\n">(k, set_name);
    if (!data) continue;
    const std::string attribute = "uvst[" + std::to_string(k) + "].uvsp";
    const auto& coordinates = uv_sets[k]->coordinates;
    write_array(out, attribute, "float2", coordinates.size(),
                [&](std::size_t i) { out.print<" %r %r">(coordinates[i][0], coordinates[i][1]); });
  }
  if (!uv_sets.empty()) {
    out.print<"\tsetAttr \".cuvs\" -type \"string\" \"map%d\";\n">(uv_sets[0]->number);
  }
  return uv_sets;
}

/// The colour set, if the mesh has colours; returns whether it has.
bool write_color_set(MaWriter& out, const Mesh& mesh, bool data) {
  if (mesh.colors.empty()) return false;
  out.append(
      "\tsetAttr \".dcol\" yes;\n\tsetAttr \".ccls\" -type \"string\" \"colorSet1\";\n"
      "\tsetAttr \".clst[0].clsn\" -type \"string\" \"colorSet1\";\n");
  if (data) {
    write_array(out, "clst[0].clsp", "", mesh.colors.size(), [&](std::size_t i) {
      out.print<" %r %r %r 1">(mesh.colors[i][0], mesh.colors[i][1], mesh.colors[i][2]);
    });
  }
  return true;
}

void write_vertices_and_edges(MaWriter& out, const MeshWorkspace& w, const Mesh& mesh,
                              const Matrix43& to_local) {
  write_array(out, "vt", "", mesh.vertices.size(), [&](std::size_t i) {
    const Vec3 p = to_local.apply(mesh.vertices[i]);
    out.print<" %r %r %r">(single(p.x), single(p.y), single(p.z));
  });
  write_array(out, "ed", "", w.edge_soft.size(), [&](std::size_t e) {
    out.print<" %d %d %d">(w.edge_vertices[2 * e], w.edge_vertices[2 * e + 1], w.edge_soft[e]);
  });
}

/// The file's normals, one per corner in face order, as locked normals; a
/// flat face's corners take the face's own.
void write_normals(MayaOutput& output, const MeshWorkspace& w, const Mesh& mesh, const Matrix43& to_local,
                   const CornerOrder& order, const EdgeSmoothing& smoothing, const MeshLook& look) {
  if (mesh.corner_normals.empty()) return;
  MaWriter& out = output.out;
  const bool any_flat = !look.flat_faces.empty();
  write_array(out, "n", "float3", 3 * w.kept_faces.size(), [&](std::size_t corner) {
    const std::uint32_t f = w.kept_faces[corner / 3];
    const std::size_t index = 3 * std::size_t{f} + order[corner % 3];
    std::array<float, 3> n{};
    if (any_flat && smoothing.flat(f)) {
      n = smoothing.own_normal(f);
    } else if (index < mesh.corner_normals.size() && finite_normal(mesh.corner_normals[index])) {
      n = mesh.corner_normals[index];
    } else {
      if (corner % 3 == 0) output.warnings.note("faces without normals in MESH_NORMALS get their face's own");
      n = face_normal(mesh, mesh.faces[f], to_local, order);
    }
    out.print<" %r %r %r">(n[0], n[1], n[2]);
  });
}

/// Faces: their edges, then a UV face for each set and a colour face.
void write_faces(MayaOutput& output, const MeshWorkspace& w, const Mesh& mesh, const CornerOrder& order,
                 const std::vector<const Mesh::Channel*>& uv_sets, bool colored) {
  MaWriter& out = output.out;
  write_array(out, "fc", "polyFaces", w.kept_faces.size(), [&](std::size_t maya_face) {
    const std::int64_t* edges = &w.face_edges[3 * maya_face];
    out.print<" f 3 %d %d %d">(edges[0], edges[1], edges[2]);
    const std::uint32_t f = w.kept_faces[maya_face];
    for (std::size_t k = 0; k < uv_sets.size(); ++k) {
      const Mesh::Channel& channel = *uv_sets[k];
      if (f < channel.faces.size() && valid_corners(channel.faces[f], channel.coordinates.size())) {
        const auto uv = reordered(channel.faces[f], order);
        out.print<" mu %d 3 %d %d %d">(k, uv[0], uv[1], uv[2]);
      } else {
        const std::string set = "map" + std::to_string(channel.number);
        output.warnings.note(f < channel.faces.size()
                                 ? "texture faces with a corner outside their list lose their UVs in " + set
                                 : "faces without a texture face have no UVs in " + set);
      }
    }
    if (colored) {
      if (f < mesh.color_faces.size() && valid_corners(mesh.color_faces[f], mesh.colors.size())) {
        const auto c = reordered(mesh.color_faces[f], order);
        out.print<" mc 0 3 %d %d %d">(c[0], c[1], c[2]);
      } else {
        output.warnings.note("faces without a valid colour face have no vertex colours");
      }
    }
  });
  out.append("\tsetAttr \".cd\" -type \"dataPolyComponent\" Index_Data Edge 0 ;\n");
}

/// The shading groups' connections; a group per face set needs a groupId.
DeformedShape connect_shading(MayaOutput& output, std::string_view shape, const FaceShading& shading,
                              const FaceSets& sets, MeshRole role, std::string_view input) {
  DeformedShape deformed{std::string(input), sets.per_face ? sets.used_groups.size() : 0};
  MaWriter& out = output.out;
  const std::string shape_name(shape);
  if (!sets.per_face) {
    const std::string& group = shading.groups.empty()
                                   ? std::string(":initialShadingGroup")
                                   : shading.groups[sets.used_groups.empty() ? 0 : sets.used_groups[0]];
    output.connect(shape_name + ".iog", group + ".dsm", true);
    return deformed;
  }
  for (std::size_t k = 0; k < sets.used_groups.size(); ++k) {
    const std::string& group = shading.groups[sets.used_groups[k]];
    const std::string id = output.names.claim(shape_name + "GroupId");
    const std::string member = shape_name + ".iog.og[" + std::to_string(k) + "]";
    out.print<"createNode groupId -n \"%s\";\n\tsetAttr \".ihi\" 0;\n">(id);
    output.connect(id + ".id", member + ".gid");
    output.connect(group + ".mwc", member + ".gco");
    output.connect(member, group + ".dsm", true);
    output.connect(id + ".msg", group + ".gn", true);
    if (role != MeshRole::Deformed) continue;
    // In a deformed shape's history the faces are tagged with the group's id
    // before the deformer, which passes the tags on.
    const std::string parts = output.names.claim(shape_name + "GroupParts");
    out.print<"createNode groupParts -n \"%s\";\n\tsetAttr \".ihi\" 0;\n">(parts);
    out.print<"\tsetAttr \".ic\" -type \"componentList\" %s;\n">(sets.face_lists[k]);
    output.connect(deformed.tagged_geometry, parts + ".ig");
    output.connect(id + ".id", parts + ".gi");
    deformed.tagged_geometry = parts + ".og";
  }
  return deformed;
}

}  // namespace

DeformedShape write_mesh(MayaOutput& output, MeshWorkspace& w, std::string_view shape,
                         std::string_view transform, const Mesh& mesh, const Matrix43& to_local,
                         const FaceShading& shading, const MeshLook& look, MeshRole role,
                         std::string_view input) {
  MaWriter& out = output.out;
  const bool data = role != MeshRole::Deformed;
  const bool shaded = role != MeshRole::Intermediate;
  keep_valid_faces(w, mesh, data ? &output.warnings : nullptr);
  const CornerOrder& order = to_local.determinant() < 0 ? kMirroredOrder : kFileOrder;
  const EdgeSmoothing smoothing(mesh, to_local, order, look.flat_faces);
  if (data) build_edges(w, mesh, order, smoothing);
  const FaceSets sets = face_sets(w, shading, shaded);

  out.print<"createNode mesh -n \"%s\" -p \"%s\";\n">(shape, transform);
  out.append("\tsetAttr -k off \".v\";\n");
  if (role == MeshRole::Intermediate) out.append("\tsetAttr \".io\" yes;\n");
  write_face_sets(out, sets, role);
  out.append("\tsetAttr \".vir\" yes;\n\tsetAttr \".vif\" yes;\n");
  const std::vector<const Mesh::Channel*> uv_sets = write_uv_sets(out, mesh, data);
  const bool colored = write_color_set(out, mesh, data);
  out.append("\tsetAttr \".dcc\" -type \"string\" \"Ambient+Diffuse\";\n");
  if (shaded) write_render_flags(out, look);
  if (data) {
    write_vertices_and_edges(out, w, mesh, to_local);
    write_normals(output, w, mesh, to_local, order, smoothing, look);
    write_faces(output, w, mesh, order, uv_sets, colored);
  }
  if (!shaded) return {std::string(input), sets.per_face ? sets.used_groups.size() : 0};
  return connect_shading(output, shape, shading, sets, role, input);
}

}  // namespace kestrun::extended
