// A whole generated scene, in the order the exporter writes it.
#pragma once

#include <cstdint>

#include "gen/out_buffer.h"
#include "gen/scene_plan.h"

namespace kestrun::scenegen {

/// Writes the header, SCENE, MATERIAL_LIST, every GEOMOBJECT, then the
/// LIGHTOBJECTs and CAMERAOBJECTs.
void write_scene(OutBuffer& out, const ScenePlan& plan);

/// Bytes of everything in the scene except the GEOMOBJECT blocks.
std::uint64_t frame_size(const ScenePlan& plan);

/// Bytes of GEOMOBJECT number `index` of the scene.
std::uint64_t object_size(const ScenePlan& plan, std::int64_t index);

}  // namespace kestrun::scenegen
