// The lines before the first object: file header, SCENE and MATERIAL_LIST.
#pragma once

#include "gen/out_buffer.h"
#include "gen/scene_plan.h"

namespace kestrun::scenegen {

/// Writes the export header, the SCENE block (its last frame is that of the
/// last key) and a MATERIAL_LIST of two materials, the first with a bitmap.
void write_scene_start(OutBuffer& out, const ScenePlan& plan);

}  // namespace kestrun::scenegen
