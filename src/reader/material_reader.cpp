// MATERIAL_LIST blocks.
#include <algorithm>
#include <optional>

#include "reader/part_readers.h"

namespace kestrun::reader {
namespace {

/// Sub-materials nested deeper than this are passed over: a file cannot
/// nest its way to the end of the stack.
constexpr int kMaxMaterialDepth = 16;

Color read_color(BlockReader& reader, std::string_view what) {
  const Vec3 value = reader.vec3(what);
  return {static_cast<float>(value.x), static_cast<float>(value.y), static_cast<float>(value.z)};
}

/// The slot of a map keyword, or nothing for another keyword.
std::optional<MapSlot> map_slot(Keyword keyword) {
  switch (keyword) {
    case Keyword::MapGeneric:
      return MapSlot::Generic;
    case Keyword::MapAmbient:
      return MapSlot::Ambient;
    case Keyword::MapDiffuse:
      return MapSlot::Diffuse;
    case Keyword::MapSpecular:
      return MapSlot::Specular;
    case Keyword::MapShine:
      return MapSlot::Shine;
    case Keyword::MapShineStrength:
      return MapSlot::ShineStrength;
    case Keyword::MapSelfIllum:
      return MapSlot::SelfIllum;
    case Keyword::MapOpacity:
      return MapSlot::Opacity;
    case Keyword::MapFilterColor:
      return MapSlot::FilterColor;
    case Keyword::MapBump:
      return MapSlot::Bump;
    case Keyword::MapReflect:
      return MapSlot::Reflect;
    case Keyword::MapRefract:
      return MapSlot::Refract;
    default:
      return std::nullopt;
  }
}

/// A map block. The maps a map of another class holds (a Mix's, say) are
/// passed over with their block: what they give is the outer map's.
TextureMap read_map(BlockReader& reader, MapSlot slot) {
  TextureMap map;
  map.slot = slot;
  reader.read_block("a MAP_ block", [&](Keyword keyword) {
    switch (keyword) {
      case Keyword::MapClass:
        map.map_class = reader.text(spelling(Keyword::MapClass));
        break;
      case Keyword::MapAmount:
        map.amount = reader.number(spelling(Keyword::MapAmount));
        break;
      case Keyword::Bitmap:
        map.bitmap = reader.text(spelling(Keyword::Bitmap));
        break;
      case Keyword::BitmapInvert:
        map.invert = true;
        break;
      case Keyword::UvwUOffset:
        map.u_offset = reader.number(spelling(Keyword::UvwUOffset));
        break;
      case Keyword::UvwVOffset:
        map.v_offset = reader.number(spelling(Keyword::UvwVOffset));
        break;
      case Keyword::UvwUTiling:
        map.u_tiling = reader.number(spelling(Keyword::UvwUTiling));
        break;
      case Keyword::UvwVTiling:
        map.v_tiling = reader.number(spelling(Keyword::UvwVTiling));
        break;
      case Keyword::UvwAngle:
        map.angle = reader.number(spelling(Keyword::UvwAngle));
        break;
      default:
        break;
    }
  });
  return map;
}

Material read_material(BlockReader& reader, std::string_view block, int depth) {
  Material material;
  reader.read_block(block, [&](Keyword keyword) {
    switch (keyword) {
      case Keyword::MaterialName:
        material.name = reader.text(spelling(Keyword::MaterialName));
        break;
      case Keyword::MaterialClass:
        material.material_class = reader.text(spelling(Keyword::MaterialClass));
        break;
      case Keyword::MaterialAmbient:
        material.ambient = read_color(reader, spelling(Keyword::MaterialAmbient));
        break;
      case Keyword::MaterialDiffuse:
        material.diffuse = read_color(reader, spelling(Keyword::MaterialDiffuse));
        break;
      case Keyword::MaterialSpecular:
        material.specular = read_color(reader, spelling(Keyword::MaterialSpecular));
        break;
      case Keyword::MaterialShine:
        material.shine = reader.number(spelling(Keyword::MaterialShine));
        break;
      case Keyword::MaterialShineStrength:
        material.shine_strength = reader.number(spelling(Keyword::MaterialShineStrength));
        break;
      case Keyword::MaterialTransparency:
        material.transparency = reader.number(spelling(Keyword::MaterialTransparency));
        break;
      case Keyword::MaterialShading:
        material.shading = reader.text(spelling(Keyword::MaterialShading));
        break;
      case Keyword::MaterialSelfIllum:
        material.self_illumination = reader.number(spelling(Keyword::MaterialSelfIllum));
        break;
      case Keyword::MaterialTwoSided:
        material.two_sided = true;
        break;
      case Keyword::Submaterial: {
        const std::int64_t index = reader.integer(spelling(Keyword::Submaterial));
        if (depth + 1 >= kMaxMaterialDepth) {
          reader.note("sub-materials nest too deep; the inner ones are left out");
          break;
        }
        Material sub = read_material(reader, spelling(Keyword::Submaterial), depth + 1);
        if (index != static_cast<std::int64_t>(material.sub_materials.size())) {
          reader.note("SUBMATERIAL numbers are not in order; they are taken in file order");
        }
        material.sub_materials.push_back(std::move(sub));
        break;
      }
      default:
        if (const std::optional<MapSlot> slot = map_slot(keyword)) {
          TextureMap map = read_map(reader, *slot);
          if (map.map_class.empty() && !map.bitmap.empty()) map.map_class = "Bitmap";
          const auto same_slot = std::find_if(material.maps.begin(), material.maps.end(),
                                              [&](const TextureMap& kept) { return kept.slot == *slot; });
          if (same_slot != material.maps.end() && *slot != MapSlot::Generic) {
            reader.note("a second map of one slot replaces the first");
            *same_slot = std::move(map);
          } else {
            material.maps.push_back(std::move(map));
          }
        }
        break;
    }
  });
  return material;
}

}  // namespace

std::vector<Material> read_material_list(BlockReader& reader) {
  std::vector<Material> materials;
  reader.read_block(spelling(Keyword::MaterialList), [&](Keyword keyword) {
    if (keyword != Keyword::Material) return;
    const std::int64_t index = reader.integer(spelling(Keyword::Material));
    if (index != static_cast<std::int64_t>(materials.size())) {
      reader.note("MATERIAL numbers are not in order; they are taken in file order");
    }
    materials.push_back(read_material(reader, spelling(Keyword::Material), 0));
  });
  return materials;
}

}  // namespace kestrun::reader
