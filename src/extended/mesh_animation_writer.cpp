#include "extended/mesh_animation_writer.h"

#include <cmath>
#include <string>

namespace kestrun::extended {
namespace {

float single(double value) { return static_cast<float>(value); }

bool same_topology(const Mesh& base, const std::vector<Mesh>& frames) {
  for (const Mesh& frame : frames) {
    if (frame.vertices.size() != base.vertices.size() || frame.faces.size() != base.faces.size())
      return false;
    for (std::size_t f = 0; f < base.faces.size(); ++f) {
      if (frame.faces[f].corners != base.faces[f].corners) return false;
    }
  }
  return true;
}

/// A curve of a frame's share: 1 at frame k, 0 at the frames next to it,
/// straight between (or stepped, for a mesh shown in turn).
Curve frame_curve(std::string attribute, const std::vector<Mesh>& frames, std::size_t k,
                  double ticks_per_frame, Tangent out) {
  Curve curve{std::move(attribute), {}};
  const auto key = [&](std::size_t at, double value) {
    curve.keys.push_back({*frames[at].time / ticks_per_frame, value, Tangent::Linear, out});
  };
  if (k > 0) key(k - 1, 0.0);
  key(k, 1.0);
  if (k + 1 < frames.size()) key(k + 1, 0.0);
  return curve;
}

/// A componentList of the vertices `moved`, as runs "vtx[a:b]".
std::string vertex_runs(const std::vector<std::uint32_t>& moved) {
  std::string runs;
  std::size_t count = 0;
  for (std::size_t i = 0; i < moved.size();) {
    std::size_t j = i;
    while (j + 1 < moved.size() && moved[j + 1] == moved[j] + 1) ++j;
    runs.append(" \"vtx[").append(std::to_string(moved[i]));
    if (j > i) runs.append(":").append(std::to_string(moved[j]));
    runs.append("]\"");
    ++count;
    i = j + 1;
  }
  return std::to_string(count) + runs;
}

void write_blend_shape(MayaOutput& output, MeshWorkspace& w, const AnimatedMesh& mesh, const MeshStyle& style,
                       const std::function<Matrix43(double)>& to_local_at,
                       const std::function<void(std::string_view, std::vector<Curve>)>& curves_of) {
  MaWriter& out = output.out;
  const std::string shape(mesh.shape);
  // The file's mesh is the deformer's input, in a hidden "Orig" shape, as Maya keeps it.
  const std::string orig = output.names.claim(shape + "Orig");
  const DeformedShape deformed = write_mesh(output, w, shape, mesh.transform, mesh.base, mesh.to_local,
                                            style.shading, style.look, MeshRole::Deformed, orig + ".w");
  write_mesh(output, w, orig, mesh.transform, mesh.base, mesh.to_local, style.shading, style.look,
             MeshRole::Intermediate);

  const std::string blend = output.names.claim(std::string(mesh.transform) + "BlendShape");
  const std::size_t targets = mesh.frames.size();
  out.print<"createNode blendShape -n \"%s\";\n">(blend);
  write_array(out, "w", "", targets, [&](std::size_t) { out.append(" 0"); });
  out.print<"\tsetAttr -s %d \".it[0].itg\";\n">(targets);
  // Each target holds the moves of the vertices a frame moves, in the node's space at its time.
  std::vector<Vec3> base(mesh.base.vertices.size());
  for (std::size_t i = 0; i < base.size(); ++i) {
    const Vec3 p = mesh.to_local.apply(mesh.base.vertices[i]);
    base[i] = {single(p.x), single(p.y), single(p.z)};
  }
  std::vector<std::uint32_t> moved;
  std::vector<Vec3> moves;
  for (std::size_t k = 0; k < targets; ++k) {
    const Mesh& frame = mesh.frames[k];
    const Matrix43 to_local = to_local_at(*frame.time);
    moved.clear();
    moves.clear();
    for (std::uint32_t i = 0; i < base.size(); ++i) {
      const Vec3 p = to_local.apply(frame.vertices[i]);
      const Vec3 d{single(single(p.x) - base[i].x), single(single(p.y) - base[i].y),
                   single(single(p.z) - base[i].z)};
      if (d.x == 0.0 && d.y == 0.0 && d.z == 0.0) continue;
      moved.push_back(i);
      moves.push_back(d);
    }
    if (moved.empty()) {  // A target needs a vertex: the first, unmoved.
      moved.push_back(0);
      moves.push_back({});
    }
    out.print<"\tsetAttr \".it[0].itg[%d].iti[6000].ipt\" -type \"pointArray\" %d">(k, moves.size());
    for (std::size_t i = 0; i < moves.size(); ++i) {
      if (i % 4 == 0) out.append("\n\t\t");
      out.print<" %r %r %r 1">(static_cast<float>(moves[i].x) + 0.0F, static_cast<float>(moves[i].y) + 0.0F,
                               static_cast<float>(moves[i].z) + 0.0F);
    }
    out.append(" ;\n");
    out.print<"\tsetAttr \".it[0].itg[%d].iti[6000].ict\" -type \"componentList\" %s;\n">(k,
                                                                                          vertex_runs(moved));
  }
  const std::string set = output.names.claim(blend + "Set");
  const std::string id = output.names.claim(blend + "GroupId");
  const std::string parts = output.names.claim(blend + "GroupParts");
  out.print<"createNode objectSet -n \"%s\";\n\tsetAttr \".ihi\" 0;\n\tsetAttr \".vo\" yes;\n">(set);
  out.print<"createNode groupId -n \"%s\";\n\tsetAttr \".ihi\" 0;\n">(id);
  out.print<"createNode groupParts -n \"%s\";\n\tsetAttr \".ihi\" 0;\n">(parts);
  out.append("\tsetAttr \".ic\" -type \"componentList\" 1 \"vtx[*]\";\n");
  const std::string member = shape + ".iog.og[" + std::to_string(deformed.deformer_group) + "]";
  // The shape's vertices are the set the blendShape deforms...
  output.connect(id + ".id", member + ".gid");
  output.connect(set + ".mwc", member + ".gco");
  output.connect(member, set + ".dsm", true);
  output.connect(id + ".msg", set + ".gn", true);
  output.connect(blend + ".msg", set + ".ub[0]");
  // ...it takes the Orig's mesh, tagged with the set's id, and the shape shows its output.
  output.connect(deformed.tagged_geometry, parts + ".ig");
  output.connect(id + ".id", parts + ".gi");
  output.connect(parts + ".og", blend + ".ip[0].ig");
  output.connect(id + ".id", blend + ".ip[0].gi");
  output.connect(blend + ".og[0]", shape + ".i");

  std::vector<Curve> weights;
  weights.reserve(targets);
  for (std::size_t k = 0; k < targets; ++k) {
    weights.push_back(
        frame_curve("w[" + std::to_string(k) + "]", mesh.frames, k, mesh.ticks_per_frame, Tangent::Linear));
  }
  curves_of(blend, std::move(weights));
}

/// Each frame a mesh of its own, shown from its time until the next frame's.
void write_meshes_in_turn(MayaOutput& output, MeshWorkspace& w, const AnimatedMesh& mesh,
                          const std::function<MeshStyle(const Mesh&)>& style_of,
                          const std::function<Matrix43(double)>& to_local_at,
                          const std::function<void(std::string_view, std::vector<Curve>)>& curves_of) {
  for (std::size_t k = 0; k < mesh.frames.size(); ++k) {
    const Mesh& frame = mesh.frames[k];
    // Named after its frame (a time too large for a name is frame 0: the name stays unique).
    const double number = std::floor(*frame.time / mesh.ticks_per_frame);
    const long long whole = std::fabs(number) < 1e15 ? static_cast<long long>(number) : 0;
    const std::string shape = output.names.claim(std::string(mesh.shape) + "Frame" + std::to_string(whole));
    const MeshStyle style = style_of(frame);
    write_mesh(output, w, shape, mesh.transform, frame, to_local_at(*frame.time), style.shading, style.look);
    std::vector<Curve> visibility;
    visibility.push_back(frame_curve("v", mesh.frames, k, mesh.ticks_per_frame, Tangent::Step));
    curves_of(shape, std::move(visibility));
  }
}

}  // namespace

void write_animated_mesh(MayaOutput& output, MeshWorkspace& workspace, const AnimatedMesh& mesh,
                         const MeshStyle& base_style, const std::function<MeshStyle(const Mesh&)>& style_of,
                         const std::function<Matrix43(double tick)>& to_local_at,
                         const std::function<void(std::string_view node, std::vector<Curve>)>& curves_of) {
  if (same_topology(mesh.base, mesh.frames)) {
    if (mesh.base.vertices.empty()) {  // No vertex to move.
      write_mesh(output, workspace, mesh.shape, mesh.transform, mesh.base, mesh.to_local, base_style.shading,
                 base_style.look);
      return;
    }
    write_blend_shape(output, workspace, mesh, base_style, to_local_at, curves_of);
  } else {
    write_meshes_in_turn(output, workspace, mesh, style_of, to_local_at, curves_of);
  }
}

}  // namespace kestrun::extended
