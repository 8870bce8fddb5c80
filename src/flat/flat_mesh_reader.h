// Reads a MESH block and writes its geometry as each list closes.
#pragma once

#include "flat/conversion.h"

namespace kestrun::flat {

/// Reads the MESH block (entered on its keyword, left on its closing brace or
/// the end token): the counts, the vertex list and the face list, each list
/// written as soon as its closing brace is read. Nothing outlives the block.
void read_mesh(Conversion& conversion);

}  // namespace kestrun::flat
