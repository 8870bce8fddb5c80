// The scene's materials as Maya shading networks: a shading node, a shading
// group and, for a bitmap, a file texture with its placement.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "extended/maya_output.h"
#include "extended/mesh_look.h"
#include "extended/mesh_writer.h"
#include "model/scene_model.h"

namespace kestrun::extended {

/// Holds the material lists, hands out the shading groups of each mesh's
/// faces, and writes the networks of the materials that were used.
class MaterialLibrary {
 public:
  /// Takes a material list and names every material, in file order. The
  /// objects that follow refer to it; a list that came before keeps the
  /// materials its objects use, whose networks are written too.
  void set_materials(MayaOutput& output, std::vector<Material> materials);

  /// The shading groups of `mesh`'s faces for the object's MATERIAL_REF: the
  /// material's own, or with sub-materials one per face by MESH_MTLID
  /// (modulo their count, as the exporting program takes it). No material:
  /// the initial shading group.
  FaceShading shading_for(MayaOutput& output, std::optional<std::int32_t> material_ref, const Mesh& mesh);

  /// How a mesh whose object names `material_ref` renders (see mesh_look).
  MeshLook look_for(std::optional<std::int32_t> material_ref, const Mesh& mesh,
                    const ObjectProperties& properties);

  /// Writes the shading networks of the materials used.
  void write_used(MayaOutput& output);

  /// The light linker's links after write_used: the initial shading group's,
  /// the particles' and one for each group written.
  [[nodiscard]] std::size_t light_links() const { return light_links_; }
  /// The shading networks write_used wrote: one a link after the first two.
  [[nodiscard]] std::size_t networks_written() const { return light_links_ - 2; }

 private:
  struct Entry {
    const Material* material = nullptr;
    std::string shader;
    std::string group;
    bool used = false;
  };
  void add(MayaOutput& output, const Material& material);
  std::size_t entry_of(const Material& material) const;
  const std::string& use(const Material& material);

  /// Every list, each kept where it is made: the entries point into them.
  std::vector<std::unique_ptr<const std::vector<Material>>> lists_;
  std::vector<Entry> entries_;  // Every material and sub-material of every list, depth first.
  std::unordered_map<const Material*, std::size_t> entry_index_;
  /// For each sub-material index, the group a mesh's faces gave it (-1:
  /// none yet); kept between meshes, only the entries a mesh set are reset.
  std::vector<std::int64_t> group_of_;
  /// What the sub-materials of each material of the last list hold, found when first needed.
  std::vector<std::optional<SubMaterialSides>> sides_;
  std::size_t light_links_ = 2;
};

}  // namespace kestrun::extended
