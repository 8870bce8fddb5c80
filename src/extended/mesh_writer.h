// Mesh shapes: vertices, shared edges with their smoothing, triangles, UV
// sets, a colour set, locked normals and per-face shading.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extended/maya_output.h"
#include "model/scene_model.h"

namespace kestrun::extended {

/// The shading groups of a mesh's faces: `face_group[f]` indexes `groups`
/// for file face f; empty `face_group`: every face in groups[0].
struct FaceShading {
  std::vector<std::string> groups;
  std::vector<std::uint32_t> face_group;
};

/// How a mesh renders: Maya's render flags, and the faces of a material with
/// 3ds Max's faceted (Constant) shading.
struct MeshLook {
  bool double_sided = true;
  std::optional<bool> casts_shadows;
  std::optional<bool> receives_shadows;
  std::optional<bool> motion_blur;
  std::vector<std::uint8_t> flat_faces;  // 1 for each file face shaded flat; empty: none.
};

/// What a mesh shape is in its node's history.
enum class MeshRole {
  Plain,         // The mesh itself, its data on the shape.
  Intermediate,  // A deformer's input ("<shape>Orig"): the data, hidden, in no shading group.
  Deformed,      // The shape that shows a deformer's output: its shading and render flags only.
};

/// What a Deformed shape needs from its history: the geometry whose faces
/// are tagged with the shading groups' ids (for the deformer to take), and
/// the objectGroup of the shape left for the deformer's set.
struct DeformedShape {
  std::string tagged_geometry;
  std::size_t deformer_group = 0;
};

/// Tables a mesh is turned into, kept from one mesh to the next so that a
/// scene of many meshes asks for memory once.
struct MeshWorkspace {
  std::vector<std::uint32_t> kept_faces;
  std::vector<std::uint64_t> edge_keys;
  std::vector<std::uint32_t> edge_slots;
  std::vector<std::uint32_t> edge_vertices;  // Two per edge, in the direction first walked.
  std::vector<std::uint32_t> edge_groups;  // Smoothing groups met so far, or the first face (normals given).
  std::vector<std::uint8_t> edge_soft;
  std::vector<std::int64_t> face_edges;  // Three per kept face; ~e for an edge walked backwards.
};

/// Writes the mesh shape `shape` under `transform`. Vertices go into the
/// node's space through `to_local`. When that mirrors, every face's corners
/// are written in the reverse order: the exporter wrote them to wind the
/// right way in world space, and Maya winds faces in the node's space. Faces
/// with a corner outside the vertex list, or with a repeated corner, are left
/// out; a UV or colour face with a corner outside its list drops that
/// attribute for its face; each such problem is noted once per kind.
/// Faces of a flat look have hard edges and their own normals. As
/// `role` says, the shape holds the data or the shading; for a Deformed one
/// `input` is the geometry it deforms (the Orig's "<shape>Orig.w"), which
/// passes through a groupParts for each shading group of a face set.
DeformedShape write_mesh(MayaOutput& output, MeshWorkspace& workspace, std::string_view shape,
                         std::string_view transform, const Mesh& mesh, const Matrix43& to_local,
                         const FaceShading& shading, const MeshLook& look, MeshRole role = MeshRole::Plain,
                         std::string_view input = {});

}  // namespace kestrun::extended
