// The polylines of a SHAPEOBJECT as Maya curves.
#pragma once

#include <string_view>
#include <vector>

#include "extended/maya_output.h"
#include "model/scene_model.h"

namespace kestrun::extended {

/// Writes each of `lines` as a nurbsCurve of degree 1 under `transform`,
/// through its points in order, in the node's space (`to_local`): open, or
/// periodic when the line is closed (its first point repeated at the end,
/// as Maya writes a closed curve of degree 1). A line of fewer than two
/// points is left out and noted.
void write_shape_lines(MayaOutput& output, std::string_view transform, const std::vector<ShapeLine>& lines,
                       const Matrix43& to_local);

}  // namespace kestrun::extended
