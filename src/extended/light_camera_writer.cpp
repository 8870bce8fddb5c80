#include "extended/light_camera_writer.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace kestrun::extended {
namespace {

/// The horizontal film aperture of Maya's default camera, in inches.
constexpr double kFilmWidthInches = 1.41732;
constexpr double kFilmHeightInches = 0.94488;

float single(double value) { return static_cast<float>(value); }

}  // namespace

double spot_cone(const LightSettings& light) { return std::clamp(light.hotspot, 0.0, 179.0); }

double spot_penumbra(const LightSettings& light) {
  return std::clamp((light.falloff - spot_cone(light)) / 2.0, 0.0, 89.0);
}

double focal_length(const CameraSettings& camera) {
  const double half_fov = std::clamp(camera.fov, 1e-4, 3.14) / 2.0;
  return kFilmWidthInches * 25.4 / 2.0 / std::tan(half_fov);
}

SettingsShape write_light(MayaOutput& output, std::string_view transform, const LightSettings& light) {
  MaWriter& out = output.out;
  std::string_view type = light.type == LightType::Omni          ? "pointLight"
                          : light.type == LightType::Directional ? "directionalLight"
                                                                 : "spotLight";
  if (type == "spotLight" && light.hotspot <= 0 && light.falloff <= 0) {
    // A spot without a cone lights nothing; the exporter writes 3ds Max's
    // skylights so, and an ambient light is what lights a scene as they do.
    output.warnings.note(
        "a spot light without a cone (as 3ds Max writes a skylight) becomes an ambientLight");
    type = "ambientLight";
  }
  const std::string shape = output.names.claim(std::string(transform) + "Shape");
  out.print<"createNode %s -n \"%s\" -p \"%s\";\n\tsetAttr -k off \".v\";\n">(type, shape, transform);
  out.print<"\tsetAttr \".cl\" -type \"float3\" %r %r %r ;\n">(light.color[0], light.color[1],
                                                               light.color[2]);
  out.print<"\tsetAttr \".in\" %r;\n">(single(light.intensity));
  if (type == "spotLight") {
    out.print<"\tsetAttr \".ca\" %r;\n\tsetAttr \".pa\" %r;\n">(single(spot_cone(light)),
                                                                single(spot_penumbra(light)));
  }
  if (light.shadows == "Mapped") out.append("\tsetAttr \".dms\" yes;\n");
  if (light.shadows == "Raytraced") out.append("\tsetAttr \".urs\" yes;\n");
  output.connect(shape + ".ltd", ":lightList1.l", true);
  output.connect(std::string(transform) + ".iog", ":defaultLightSet.dsm", true);
  return {shape, type};
}

SettingsShape write_camera(MayaOutput& output, std::string_view transform, const CameraSettings& camera) {
  MaWriter& out = output.out;
  const std::string shape = output.names.claim(std::string(transform) + "Shape");
  out.print<"createNode camera -n \"%s\" -p \"%s\";\n\tsetAttr -k off \".v\";\n">(shape, transform);
  // Horizontal film fit: the field of view across the film is the file's.
  out.print<"\tsetAttr \".cap\" -type \"double2\" %r %r ;\n\tsetAttr \".ff\" 1;\n">(
      single(kFilmWidthInches), single(kFilmHeightInches));
  out.print<"\tsetAttr \".fl\" %r;\n">(single(focal_length(camera)));
  if (camera.near_clip > 0) out.print<"\tsetAttr \".ncp\" %r;\n">(single(camera.near_clip));
  if (camera.far_clip > std::max(camera.near_clip, 0.0))
    out.print<"\tsetAttr \".fcp\" %r;\n">(single(camera.far_clip));
  if (camera.target_distance > 0) out.print<"\tsetAttr \".coi\" %r;\n">(single(camera.target_distance));
  return {shape, "camera"};
}

}  // namespace kestrun::extended
