// GEOMOBJECT blocks: a transform with a mesh shape, its geometry and keys.
#pragma once

#include "flat/conversion.h"

namespace kestrun::flat {

/// Walks one GEOMOBJECT block (entered on its keyword): a NODE_NAME string
/// creates the transform and its mesh shape, MESH and TM_ANIMATION blocks go
/// to their converters, NODE_TM is skipped. The walk is flat: the first "}"
/// met at its level ends it, and it is left on that "}" or on the end token.
void convert_geomobject(Conversion& conversion);

}  // namespace kestrun::flat
