// The SCENE block: the scene's timing.
#pragma once

#include "flat/conversion.h"

namespace kestrun::flat {

/// Reads a SCENE block (entered on its keyword, left on its closing brace or
/// the end token) into the conversion's timing.
void read_scene(Conversion& conversion);

}  // namespace kestrun::flat
