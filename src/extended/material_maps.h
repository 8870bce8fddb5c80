// The maps of a material as file textures joined to the inputs of its
// Maya shader.
#pragma once

#include <string_view>

#include "extended/maya_output.h"
#include "model/scene_model.h"

namespace kestrun::extended {

/// The names of a material's shading network that its maps join.
struct ShaderNodes {
  std::string_view shader;  // The shading node.
  std::string_view type;    // Its Maya type: "lambert", "blinn" or "phong".
  std::string_view info;    // Its materialInfo.
};

/// Writes `material`'s bitmap maps, each a file texture with its own
/// place2dTexture (tiling, offset, angle), and keeps the connections that
/// join them to the shader's inputs:
/// - MAP_DIFFUSE to color, MAP_AMBIENT to ambientColor, MAP_SELFILLUM to
///   incandescence (the map times the diffuse colour), MAP_REFLECT to
///   reflectedColor with MAP_AMOUNT as the reflectivity;
/// - MAP_SPECULAR to specularColor (times the specular level), MAP_SHINESTRENGTH
///   to it too (the specular colour times the map), both through a
///   multiplyDivide when both are given;
/// - MAP_SHINE, the glossiness, through a reverse to a blinn's eccentricity,
///   or scaled to 2 to 100 into a phong's cosinePower;
/// - MAP_OPACITY's luminance to transparency (the file node's outTransparency);
/// - MAP_BUMP's luminance through a bump2d to normalCamera, MAP_AMOUNT as the depth.
/// Below a MAP_AMOUNT of 1, a map blends with the material's own value by the
/// file node's gain and offset: amount * map + (1 - amount) * own value.
/// A slot the shader has no input for (the specular ones on a lambert,
/// MAP_FILTERCOLOR, MAP_REFRACT, MAP_GENERIC), a map that is no bitmap, and
/// a bitmap without a file are told in `output.warnings` and left out.
void write_material_maps(MayaOutput& output, const Material& material, const ShaderNodes& nodes);

}  // namespace kestrun::extended
