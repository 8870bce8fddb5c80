#include "extended/mesh_look.h"

#include <algorithm>

namespace kestrun::extended {
namespace {

bool flat(const Material& material) { return material.shading == "Constant"; }

}  // namespace

SubMaterialSides sides_of(const Material& material) {
  const std::vector<Material>& subs = material.sub_materials;
  const auto two_sided = [](const Material& m) { return m.two_sided; };
  return {std::all_of(subs.begin(), subs.end(), two_sided), std::any_of(subs.begin(), subs.end(), two_sided),
          std::any_of(subs.begin(), subs.end(), flat)};
}

MeshLook mesh_look(const Material* material, const SubMaterialSides& sides, const Mesh& mesh,
                   const ObjectProperties& properties) {
  MeshLook look;
  look.casts_shadows = properties.casts_shadows;
  look.receives_shadows = properties.receives_shadows;
  look.motion_blur = properties.motion_blur;
  look.double_sided = false;
  if (material == nullptr) return look;
  const std::vector<Material>& subs = material->sub_materials;
  if (subs.empty()) {
    look.double_sided = material->two_sided;
    if (flat(*material)) look.flat_faces.assign(mesh.faces.size(), 1);
    return look;
  }
  // Faces are looked at only where the sub-materials differ.
  look.double_sided = sides.all_two_sided && !mesh.faces.empty();
  if (!sides.any_flat && (sides.all_two_sided || !sides.any_two_sided)) return look;
  if (sides.any_flat) look.flat_faces.assign(mesh.faces.size(), 0);
  for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
    const Material& sub = subs[static_cast<std::size_t>(mesh.faces[f].material_id) % subs.size()];
    look.double_sided = look.double_sided || sub.two_sided;
    if (sides.any_flat && flat(sub)) look.flat_faces[f] = 1;
  }
  return look;
}

}  // namespace kestrun::extended
