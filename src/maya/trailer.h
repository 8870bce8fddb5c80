// The closing of every Maya ASCII file: playback range, default nodes,
// connections of the converted meshes and lights, and the end comment.
#pragma once

#include "convert/conversion.h"

namespace kestrun {

/// Writes the trailer; the file ends with "// End of <name> " and no line feed.
void write_trailer(Conversion& conversion);

}  // namespace kestrun
