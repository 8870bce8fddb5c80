// The readers of the parts of an object block, shared by the scene reader.
#pragma once

#include <vector>

#include "model/scene_model.h"
#include "reader/block_reader.h"

namespace kestrun::reader {

/// On MATERIAL_LIST's first argument: the materials, in file order.
std::vector<Material> read_material_list(BlockReader& reader);

/// On MESH's first argument: the mesh as the file gives it.
Mesh read_mesh(BlockReader& reader);

/// On MESH_ANIMATION's first argument: its meshes, each at a TIMEVALUE later
/// than the one before (others are left out).
std::vector<Mesh> read_mesh_animation(BlockReader& reader);

/// On SHAPE_LINE's first argument: the polyline.
ShapeLine read_shape_line(BlockReader& reader);

/// On NODE_VISIBILITY_TRACK's first argument: its float controller.
FloatTrack read_visibility_track(BlockReader& reader);

/// On LIGHT_SETTINGS' (CAMERA_SETTINGS') first argument: the settings, into
/// `light` (`camera`). True if the block gave a TIMEVALUE.
bool read_light_settings(BlockReader& reader, LightSettings& light);
bool read_camera_settings(BlockReader& reader, CameraSettings& camera);

/// On LIGHT_ANIMATION's (CAMERA_ANIMATION's) first argument: the settings
/// at their times, each starting from the static settings.
std::vector<LightSettings> read_light_animation(BlockReader& reader, const LightSettings& light);
std::vector<CameraSettings> read_camera_animation(BlockReader& reader, const CameraSettings& camera);

/// On TM_ANIMATION's first argument: its tracks, into `object`'s animation
/// or, for a block named "<name>.Target", its target's.
void read_tm_animation(BlockReader& reader, SceneObject& object);

/// On NODE_TM's first argument: the transform, from its TM_ROW lines (or,
/// without them, from TM_POS, TM_ROTAXIS and TM_ROTANGLE, and TM_SCALE).
NodeTransform read_node_tm(BlockReader& reader);

/// True if `name` is "<object>.Target" or, when the object already has its
/// own transform, any name ending in ".Target".
bool names_target(std::string_view name, const SceneObject& object);

}  // namespace kestrun::reader
