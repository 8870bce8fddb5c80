// CAMERAOBJECT blocks: a transform with a camera shape.
#pragma once

#include "flat/conversion.h"

namespace kestrun::flat {

/// Converts one CAMERAOBJECT block (entered on its keyword) into a transform
/// and a camera shape with its clipping planes and focal length.
void convert_camera(Conversion& conversion);

}  // namespace kestrun::flat
