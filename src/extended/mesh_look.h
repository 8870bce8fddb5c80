// How a mesh renders, from its materials and its node's properties.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "extended/mesh_writer.h"
#include "model/scene_model.h"

namespace kestrun::extended {

/// What a material's sub-materials hold that shows on a mesh, found once
/// per material, not once per mesh.
struct SubMaterialSides {
  bool all_two_sided = false;
  bool any_two_sided = false;
  bool any_flat = false;
};
SubMaterialSides sides_of(const Material& material);

/// The look of `mesh`, whose object's material is `material` (none: null)
/// with `sides`, and which has `properties`:
/// - double-sided only where a material of its faces is MATERIAL_TWOSIDED:
///   3ds Max renders a face from its front alone unless its material says
///   otherwise, and Maya sets sidedness for a whole mesh (a mesh that mixes
///   both is double-sided, so that no face is lost); without a material, as
///   3ds Max renders it, one-sided;
/// - flat faces where their material's shading is Constant;
/// - PROP_CASTSHADOW, PROP_RECVSHADOW and PROP_MOTIONBLUR (0 is none, 1
///   and 2 an object's or an image's blur) as the render flags.
/// Faces find their sub-material by MESH_MTLID modulo the count, as the
/// material library assigns them.
MeshLook mesh_look(const Material* material, const SubMaterialSides& sides, const Mesh& mesh,
                   const ObjectProperties& properties);

}  // namespace kestrun::extended
