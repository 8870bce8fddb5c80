// The walks over the top level of the file and over each GEOMOBJECT.
#pragma once

#include "convert/conversion.h"

namespace kestrun {

/// Walks the body of the file, starting on the token after the version number,
/// and hands each block that the options ask for to its converter. Returns
/// when the input has ended.
void convert_objects(Conversion& conversion);

}  // namespace kestrun
