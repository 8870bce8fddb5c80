#include "extended/material_library.h"

#include <algorithm>
#include <cmath>

#include "extended/material_maps.h"

namespace kestrun::extended {
namespace {

constexpr std::string_view kInitialShadingGroup = ":initialShadingGroup";

std::string_view shader_type(const Material& material) {
  if (material.shading == "Blinn") return "blinn";
  // Constant is 3ds Max's faceted shading: a highlight on flat faces (mesh_look makes them flat).
  if (material.shading == "Phong" || material.shading == "Metal" || material.shading == "Constant")
    return "phong";
  return "lambert";
}

/// Glossiness from 0 to 1; AC3D writes it from 0 to 128.
double glossiness(const Material& material) {
  const double shine = material.shine > 1.0 ? material.shine / 128.0 : material.shine;
  return std::clamp(shine, 0.0, 1.0);
}

}  // namespace

void MaterialLibrary::add(MayaOutput& output, const Material& material) {
  Entry entry;
  entry.material = &material;
  entry.shader = output.names.claim(material.name.empty() ? std::string("material") : material.name);
  entry.group = output.names.claim(entry.shader + "SG");
  entry_index_[&material] = entries_.size();
  entries_.push_back(std::move(entry));
  for (const Material& sub : material.sub_materials) add(output, sub);
}

void MaterialLibrary::set_materials(MayaOutput& output, std::vector<Material> materials) {
  lists_.push_back(std::make_unique<const std::vector<Material>>(std::move(materials)));
  sides_.clear();
  for (const Material& material : *lists_.back()) add(output, material);
}

MeshLook MaterialLibrary::look_for(std::optional<std::int32_t> material_ref, const Mesh& mesh,
                                   const ObjectProperties& properties) {
  const std::vector<Material>* list = lists_.empty() ? nullptr : lists_.back().get();
  if (!material_ref || list == nullptr || *material_ref < 0 ||
      static_cast<std::size_t>(*material_ref) >= list->size()) {
    return mesh_look(nullptr, {}, mesh, properties);
  }
  const auto index = static_cast<std::size_t>(*material_ref);
  const Material& material = (*list)[index];
  if (sides_.size() < list->size()) sides_.resize(list->size());
  if (!sides_[index]) sides_[index] = sides_of(material);
  return mesh_look(&material, *sides_[index], mesh, properties);
}

std::size_t MaterialLibrary::entry_of(const Material& material) const { return entry_index_.at(&material); }

const std::string& MaterialLibrary::use(const Material& material) {
  Entry& entry = entries_[entry_of(material)];
  entry.used = true;
  return entry.group;
}

FaceShading MaterialLibrary::shading_for(MayaOutput& output, std::optional<std::int32_t> material_ref,
                                         const Mesh& mesh) {
  FaceShading shading;
  if (!material_ref) {
    shading.groups.emplace_back(kInitialShadingGroup);
    return shading;
  }
  static const std::vector<Material> kNoList;
  const std::vector<Material>& list = lists_.empty() ? kNoList : *lists_.back();
  if (*material_ref < 0 || static_cast<std::size_t>(*material_ref) >= list.size()) {
    output.warnings.note("MATERIAL_REF " + std::to_string(*material_ref) +
                         " names no material of the list; the object gets the default material");
    shading.groups.emplace_back(kInitialShadingGroup);
    return shading;
  }
  const Material& material = list[static_cast<std::size_t>(*material_ref)];
  const auto& subs = material.sub_materials;
  if (subs.empty()) {
    shading.groups.push_back(use(material));
    return shading;
  }
  // One group per sub-material used, in the order the faces first use them.
  // A mesh pays for its faces and the sub-materials they use, never for the
  // whole list: the table grows once, and only its used entries are reset.
  if (group_of_.size() < subs.size()) group_of_.resize(subs.size(), -1);
  std::vector<std::size_t> used;
  shading.face_group.reserve(mesh.faces.size());
  for (const Mesh::Face& face : mesh.faces) {
    const std::size_t sub = static_cast<std::size_t>(face.material_id) % subs.size();
    if (group_of_[sub] < 0) {
      group_of_[sub] = static_cast<std::int64_t>(shading.groups.size());
      used.push_back(sub);
      shading.groups.push_back(use(subs[sub]));
    }
    shading.face_group.push_back(static_cast<std::uint32_t>(group_of_[sub]));
  }
  for (const std::size_t sub : used) group_of_[sub] = -1;
  if (shading.groups.empty()) shading.groups.push_back(use(material));
  return shading;
}

void MaterialLibrary::write_used(MayaOutput& output) {
  MaWriter& out = output.out;
  std::size_t link = 2;  // Links 0 and 1 are the initial shading group's and particles'.
  for (const Entry& entry : entries_) {
    if (!entry.used) continue;
    const Material& m = *entry.material;
    const std::string_view type = shader_type(m);
    out.print<"createNode %s -n \"%s\";\n">(type, entry.shader);
    out.print<"\tsetAttr \".c\" -type \"float3\" %r %r %r ;\n">(m.diffuse[0], m.diffuse[1], m.diffuse[2]);
    out.print<"\tsetAttr \".ambc\" -type \"float3\" %r %r %r ;\n">(m.ambient[0], m.ambient[1], m.ambient[2]);
    const auto transparency = static_cast<float>(std::clamp(m.transparency, 0.0, 1.0));
    if (transparency != 0.0F) {
      out.print<"\tsetAttr \".it\" -type \"float3\" %r %r %r ;\n">(transparency, transparency, transparency);
    }
    // Self-illumination lights the diffuse colour whatever the lights do.
    const auto glow = static_cast<float>(std::clamp(m.self_illumination, 0.0, 1.0));
    if (glow != 0.0F) {
      out.print<"\tsetAttr \".ic\" -type \"float3\" %r %r %r ;\n">(m.diffuse[0] * glow, m.diffuse[1] * glow,
                                                                   m.diffuse[2] * glow);
    }
    if (type != "lambert") {
      // The highlight is the specular colour at its specular level.
      const auto level = static_cast<float>(std::max(0.0, m.shine_strength));
      out.print<"\tsetAttr \".sc\" -type \"float3\" %r %r %r ;\n">(
          m.specular[0] * level, m.specular[1] * level, m.specular[2] * level);
      const double gloss = glossiness(m);
      if (type == "blinn") {
        out.print<"\tsetAttr \".ec\" %r;\n">(static_cast<float>(std::max(0.01, 1.0 - gloss)));
      } else {
        out.print<"\tsetAttr \".cp\" %r;\n">(static_cast<float>(2.0 + 98.0 * gloss));
      }
    }
    out.print<"createNode shadingEngine -n \"%s\";\n\tsetAttr \".ihi\" 0;\n\tsetAttr \".ro\" yes;\n">(
        entry.group);
    const std::string info = output.names.claim(entry.shader + "Info");
    out.print<"createNode materialInfo -n \"%s\";\n">(info);
    output.connect(entry.shader + ".oc", entry.group + ".ss");
    output.connect(entry.group + ".msg", info + ".sg");
    output.connect(entry.shader + ".msg", info + ".m");
    output.connect(entry.group + ".pa", ":renderPartition.st", true);
    output.connect(entry.shader + ".msg", ":defaultShaderList1.s", true);
    for (const std::string_view kind : {"lnk", "slnk"}) {
      const std::string prefix = "lightLinker1." + std::string(kind) + "[" + std::to_string(link) + "]";
      output.connect(":defaultLightSet.msg", prefix + (kind == "lnk" ? ".llnk" : ".sllk"));
      output.connect(entry.group + ".msg", prefix + (kind == "lnk" ? ".olnk" : ".solk"));
    }
    ++link;
    write_material_maps(output, m, {entry.shader, type, info});
  }
  light_links_ = link;
}

}  // namespace kestrun::extended
