// The closing of every Maya ASCII file: playback range, default nodes,
// connections of the converted meshes and lights, and the end comment.
#pragma once

#include <string_view>

#include "maya/ma_writer.h"
#include "maya/scene_summary.h"

namespace kestrun {

/// Writes the trailer for `scene`; the file ends with "// End of
/// <output_name> " and no line feed.
void write_trailer(MaWriter& out, const SceneSummary& scene, std::string_view output_name);

}  // namespace kestrun
