// TM_ANIMATION blocks: position, rotation and scale keys as animation curves.
#pragma once

#include "flat/conversion.h"

namespace kestrun::flat {

/// Converts one TM_ANIMATION block (entered on its keyword, left on its first
/// "}" or the end token): each position, rotation and scale key group becomes
/// three curves, X, Y and Z, connected to the object's transform.
void convert_animation(Conversion& conversion);

}  // namespace kestrun::flat
