// Curves and transforms played back as Maya evaluates what was written.
#pragma once

#include <vector>

#include "extended/animation_curves.h"
#include "model/transform_math.h"

namespace kestrun::extended {

/// The value of `keys` at `frame`: held before the first and after the
/// last; from a key with a step out tangent, held until the next; between
/// fixed tangents (value per second, `frames_per_second` frames a second)
/// a cubic Hermite segment; otherwise straight (spline keys are exact at
/// the keys themselves only).
double curve_value(const std::vector<CurveKey>& keys, double frame, double frames_per_second);

/// A transform's local matrix at `frame`: `channels`, each channel that one
/// of `curves` drives ("tx", "ry", "shxz", "rax"...) at the curve's value.
Matrix43 local_at(const Channels& channels, const std::vector<Curve>& curves, double frame,
                  double frames_per_second);

}  // namespace kestrun::extended
