// A mesh whose MESH_ANIMATION gives it whole meshes at their times.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "extended/animation_curves.h"
#include "extended/mesh_writer.h"
#include "model/scene_model.h"

namespace kestrun::extended {

/// What a mesh shape of the animation needs besides its vertices: its
/// shading groups and its look.
struct MeshStyle {
  FaceShading shading;
  MeshLook look;
};

/// The shapes of an animated mesh under `transform`, `shape` the name wanted
/// for the main one. `frames` are the meshes of MESH_ANIMATION, in world
/// space at their times; `to_local_at(tick)` is the inverse of the node's
/// world matrix at a tick as Maya plays it back, so that the vertices come
/// out where the file has them. The file's own mesh is `base`, in its node's
/// space through `to_local`.
/// - Where every frame has the base's vertex count and faces, the base is
///   deformed by a blendShape with a target per frame (the frame's vertices
///   less the base's) and a weight curve per target that is 1 at its frame and
///   falls to 0 at the frames next to it: the mesh passes through each frame
///   at its time, straight between them, with the base's UVs and normals.
/// - Otherwise each frame is a mesh of its own, keyed visible (stepped) from
///   its time until the next frame's; before the first the first is shown.
/// Curves go through `curves_of` with the node each drives; the style of a
/// frame's mesh comes from `style_of`.
struct AnimatedMesh {
  std::string_view transform;
  std::string_view shape;
  const Mesh& base;
  const std::vector<Mesh>& frames;
  const Matrix43& to_local;
  double ticks_per_frame;
};
void write_animated_mesh(MayaOutput& output, MeshWorkspace& workspace, const AnimatedMesh& mesh,
                         const MeshStyle& base_style, const std::function<MeshStyle(const Mesh&)>& style_of,
                         const std::function<Matrix43(double tick)>& to_local_at,
                         const std::function<void(std::string_view node, std::vector<Curve>)>& curves_of);

}  // namespace kestrun::extended
