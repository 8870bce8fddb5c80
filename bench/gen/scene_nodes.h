// The three kinds of node a generated scene holds.
#pragma once

#include <cstdint>
#include <string>

#include "gen/out_buffer.h"
#include "gen/scene_plan.h"

namespace kestrun::scenegen {

/// "Object001" for index 0: the exporter's default names for new meshes.
std::string object_name(std::int64_t index);

/// Writes GEOMOBJECT number `index`: NODE_TM, MESH, the PROP lines,
/// TM_ANIMATION with position, rotation and scale keys, and MATERIAL_REF.
void write_geom_object(OutBuffer& out, const ScenePlan& plan, std::int64_t index);

/// Writes LIGHTOBJECT number `index`: a target spot ("Spot01" aiming at
/// "Spot01.Target") with its two NODE_TMs, settings and animation.
void write_light(OutBuffer& out, const ScenePlan& plan, std::int64_t index);

/// Writes CAMERAOBJECT number `index`: a target camera ("Camera01" aiming at
/// "Camera01.Target") with its two NODE_TMs, settings and animation.
void write_camera(OutBuffer& out, const ScenePlan& plan, std::int64_t index);

}  // namespace kestrun::scenegen
