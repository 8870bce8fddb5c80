// The walks over the top level of the file and over each GEOMOBJECT.
#pragma once

#include "convert/conversion.h"

namespace kestrun {

/// Walks the body of the file, starting on the token after the version number,
/// and hands each block that the options ask for to its converter. Returns
/// when the input has ended.
void convert_objects(Conversion& conversion);

/// Walks one GEOMOBJECT block (entered on its keyword): its NODE_NAME string
/// creates the mesh node, its MESH and TM_ANIMATION blocks go to their
/// converters, NODE_TM is skipped. The walk is flat: the first "}" met at its
/// level ends it, and it is left on that "}" or on the end token.
void convert_geomobject(Conversion& conversion);

}  // namespace kestrun
