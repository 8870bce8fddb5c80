// Light and camera shapes.
#pragma once

#include <string>
#include <string_view>

#include "extended/maya_output.h"
#include "model/scene_model.h"

namespace kestrun::extended {

/// A light or camera shape as written: its name and Maya type.
struct SettingsShape {
  std::string name;
  std::string_view type;
};

/// Writes the light shape of `light` under `transform` and joins it to the
/// scene's lights: Omni as a pointLight, Directional as a directionalLight,
/// target and free spots as spotLights with their cone and penumbra.
SettingsShape write_light(MayaOutput& output, std::string_view transform, const LightSettings& light);

/// Writes the camera shape of `camera` under `transform`: the focal length
/// that gives its horizontal field of view on the default film back, its
/// clipping planes and its target distance as the centre of interest.
SettingsShape write_camera(MayaOutput& output, std::string_view transform, const CameraSettings& camera);

/// A spot light's cone angle and penumbra in degrees: the hotspot is the
/// full inner cone, and the falloff widens it on every side.
double spot_cone(const LightSettings& light);
double spot_penumbra(const LightSettings& light);

/// The focal length, in millimetres, that gives `camera`'s horizontal field
/// of view across the default film back.
double focal_length(const CameraSettings& camera);

}  // namespace kestrun::extended
