// Mesh shapes: vertices, shared edges with their smoothing, triangles, UV
// sets, a colour set, locked normals and per-face shading.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "extended/maya_output.h"
#include "model/scene_model.h"

namespace kestrun {

/// The shading groups of a mesh's faces: `face_group[f]` indexes `groups`
/// for file face f; empty `face_group`: every face in groups[0].
struct FaceShading {
  std::vector<std::string> groups;
  std::vector<std::uint32_t> face_group;
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
void write_mesh(MayaOutput& output, MeshWorkspace& workspace, std::string_view shape,
                std::string_view transform, const Mesh& mesh, const Matrix43& to_local,
                const FaceShading& shading);

}  // namespace kestrun
