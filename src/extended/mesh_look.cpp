#include "extended/mesh_look.h"

#include <algorithm>

namespace kestrun {
namespace {

bool flat(const Material& material) { return material.shading == "Constant"; }

}  // namespace

MeshLook mesh_look(const std::vector<Material>& materials, std::optional<std::int32_t> material_ref,
                   const Mesh& mesh, const ObjectProperties& properties) {
  MeshLook look;
  look.casts_shadows = properties.casts_shadows;
  look.receives_shadows = properties.receives_shadows;
  look.motion_blur = properties.motion_blur;
  look.double_sided = false;
  if (!material_ref || *material_ref < 0 || static_cast<std::size_t>(*material_ref) >= materials.size()) {
    return look;
  }
  const Material& material = materials[static_cast<std::size_t>(*material_ref)];
  const std::vector<Material>& subs = material.sub_materials;
  if (subs.empty()) {
    look.double_sided = material.two_sided;
    if (flat(material)) look.flat_faces.assign(mesh.faces.size(), 1);
    return look;
  }
  // Faces are looked at only where the sub-materials differ.
  const bool all_two_sided =
      std::all_of(subs.begin(), subs.end(), [](const Material& m) { return m.two_sided; });
  const bool any_two_sided =
      std::any_of(subs.begin(), subs.end(), [](const Material& m) { return m.two_sided; });
  const bool any_flat = std::any_of(subs.begin(), subs.end(), flat);
  look.double_sided = all_two_sided && !mesh.faces.empty();
  if (!any_flat && (all_two_sided || !any_two_sided)) return look;
  if (any_flat) look.flat_faces.assign(mesh.faces.size(), 0);
  for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
    const Material& sub = subs[static_cast<std::size_t>(mesh.faces[f].material_id) % subs.size()];
    look.double_sided = look.double_sided || sub.two_sided;
    if (any_flat && flat(sub)) look.flat_faces[f] = 1;
  }
  return look;
}

}  // namespace kestrun
