// LIGHTOBJECT blocks: a transform with a spotLight shape.
#pragma once

#include "flat/conversion.h"

namespace kestrun::flat {

/// Converts one LIGHTOBJECT block (entered on its keyword) into a transform
/// and a spotLight shape with colour, intensity, cone angle and dropoff, and
/// enters the light in the light list that the trailer connects.
void convert_light(Conversion& conversion);

}  // namespace kestrun::flat
