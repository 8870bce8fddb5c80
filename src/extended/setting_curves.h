// Curves on a camera's or light's shape for its animated settings
// (CAMERA_ANIMATION and LIGHT_ANIMATION).
#pragma once

#include <string_view>
#include <vector>

#include "extended/animation_curves.h"
#include "model/scene_model.h"

namespace kestrun::extended {

/// The curves of a camera's settings at their times: focal length ("fl",
/// from the field of view), clipping planes ("ncp", "fcp", where every time
/// clips by hand) and centre of interest ("coi", the target distance), a key
/// at each time, straight between them. A setting that is the static one at
/// every time gets no curve.
std::vector<Curve> camera_setting_curves(const CameraSettings& static_settings,
                                         const std::vector<CameraSettings>& at_times, double ticks_per_frame);

/// The curves of a light's settings at their times: colour ("cr", "cg",
/// "cb"), intensity ("in") and, on a spotLight (`shape_type`), cone and
/// penumbra angles ("ca", "pa", from the hotspot and falloff).
std::vector<Curve> light_setting_curves(const LightSettings& static_settings,
                                        const std::vector<LightSettings>& at_times,
                                        std::string_view shape_type, double ticks_per_frame);

}  // namespace kestrun::extended
