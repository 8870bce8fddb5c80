// Light and camera shapes.
#pragma once

#include <string_view>

#include "extended/maya_output.h"
#include "model/scene_model.h"

namespace kestrun {

/// Writes the light shape of `light` under `transform` and joins it to the
/// scene's lights: Omni as a pointLight, Directional as a directionalLight,
/// target and free spots as spotLights with their cone and penumbra.
void write_light(MayaOutput& output, std::string_view transform, const LightSettings& light);

/// Writes the camera shape of `camera` under `transform`: the focal length
/// that gives its horizontal field of view on the default film back, its
/// clipping planes and its target distance as the centre of interest.
void write_camera(MayaOutput& output, std::string_view transform, const CameraSettings& camera);

}  // namespace kestrun
