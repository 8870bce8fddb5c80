#include "extended/material_maps.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace kestrun::extended {
namespace {

float single(double value) { return static_cast<float>(value); }

std::string_view keyword(MapSlot slot) {
  switch (slot) {
    case MapSlot::Generic:
      return "MAP_GENERIC";
    case MapSlot::Ambient:
      return "MAP_AMBIENT";
    case MapSlot::Diffuse:
      return "MAP_DIFFUSE";
    case MapSlot::Specular:
      return "MAP_SPECULAR";
    case MapSlot::Shine:
      return "MAP_SHINE";
    case MapSlot::ShineStrength:
      return "MAP_SHINESTRENGTH";
    case MapSlot::SelfIllum:
      return "MAP_SELFILLUM";
    case MapSlot::Opacity:
      return "MAP_OPACITY";
    case MapSlot::FilterColor:
      return "MAP_FILTERCOLOR";
    case MapSlot::Bump:
      return "MAP_BUMP";
    case MapSlot::Reflect:
      return "MAP_REFLECT";
    case MapSlot::Refract:
      return "MAP_REFRACT";
  }
  return "MAP_GENERIC";
}

/// The part of a texture's node names that tells its slot ("blinn1BumpFile");
/// the diffuse map's nodes are "<shader>File" and "<shader>Place2d".
std::string_view name_part(MapSlot slot) {
  switch (slot) {
    case MapSlot::Ambient:
      return "Ambient";
    case MapSlot::Specular:
      return "Specular";
    case MapSlot::Shine:
      return "Gloss";
    case MapSlot::ShineStrength:
      return "Level";
    case MapSlot::SelfIllum:
      return "SelfIllum";
    case MapSlot::Opacity:
      return "Opacity";
    case MapSlot::Bump:
      return "Bump";
    case MapSlot::Reflect:
      return "Reflect";
    default:
      return "";
  }
}

/// How a file node scales its output: outColor = texture * gain + offset,
/// outAlpha (the luminance, with alphaIsLuminance) = alpha * gain + offset.
struct Gains {
  Color color_gain{1.0F, 1.0F, 1.0F};
  Color color_offset{0.0F, 0.0F, 0.0F};
  float alpha_gain = 1.0F;
  float alpha_offset = 0.0F;
  bool alpha_is_luminance = false;
};

Color scaled(const Color& c, double k) { return {single(c[0] * k), single(c[1] * k), single(c[2] * k)}; }
Color grey(double k) { return {single(k), single(k), single(k)}; }

/// A colour map blended with the material's own colour `own`: amount * map + (1 - amount) * own.
Gains blended(double amount, const Color& own) {
  Gains gains;
  gains.color_gain = grey(amount);
  gains.color_offset = scaled(own, 1.0 - amount);
  return gains;
}

/// A scalar map, its luminance as its alpha: amount * map * scale + (1 - amount) * own * scale + base.
Gains luminance(double amount, double own, double scale = 1.0, double base = 0.0) {
  Gains gains;
  gains.alpha_is_luminance = true;
  gains.alpha_gain = single(amount * scale);
  gains.alpha_offset = single(base + (1.0 - amount) * own * scale);
  return gains;
}

class MapWriter {
 public:
  MapWriter(MayaOutput& output, const Material& material, const ShaderNodes& nodes)
      : output_(output), out_(output.out), m_(material), nodes_(nodes), shader_(nodes.shader) {}

  void write_all() {
    const TextureMap* specular = usable(m_.map(MapSlot::Specular), false);
    const TextureMap* level = usable(m_.map(MapSlot::ShineStrength), false);
    for (const TextureMap& map : m_.maps) {
      if (usable(&map, true) == nullptr) continue;
      if ((map.slot == MapSlot::Specular || map.slot == MapSlot::ShineStrength) && specular && level) {
        if (&map == specular) specular_times_level(*specular, *level);
        continue;
      }
      write(map);
    }
  }

 private:
  /// `map` if it is a bitmap with a file whose slot the shader takes; told once if not.
  const TextureMap* usable(const TextureMap* map, bool tell) {
    if (map == nullptr) return nullptr;
    const std::string slot(keyword(map->slot));
    std::string problem;
    if (!map->map_class.empty() && map->map_class != "Bitmap") {
      problem =
          "a " + quoted_name(map->map_class) + " map in " + slot + " is not converted: only bitmaps are";
    } else if (map->bitmap.empty()) {
      problem = slot + " has no BITMAP file; it is left out";
    } else if (map->slot == MapSlot::FilterColor || map->slot == MapSlot::Refract ||
               map->slot == MapSlot::Generic) {
      problem = slot + " has no input in a Maya shader; it is left out";
    } else if (nodes_.type == "lambert" &&
               (map->slot == MapSlot::Specular || map->slot == MapSlot::ShineStrength ||
                map->slot == MapSlot::Shine || map->slot == MapSlot::Reflect)) {
      problem = slot + " has no input in a lambert shader; it is left out";
    }
    if (problem.empty()) return map;
    if (tell) output_.warnings.note(problem);
    return nullptr;
  }

  [[nodiscard]] double amount(const TextureMap& map) const { return std::clamp(map.amount, 0.0, 1.0); }
  [[nodiscard]] double level() const { return std::max(0.0, m_.shine_strength); }
  [[nodiscard]] std::string plug(std::string_view attribute) const {
    return shader_ + "." + std::string(attribute);
  }

  void write(const TextureMap& map) {
    const double a = amount(map);
    switch (map.slot) {
      case MapSlot::Diffuse:
        texture(map, blended(a, m_.diffuse), {"oc", plug("c")});
        break;
      case MapSlot::Ambient:
        texture(map, blended(a, m_.ambient), {"oc", plug("ambc")});
        break;
      case MapSlot::SelfIllum: {
        // The map says how much of the diffuse colour lights itself.
        Gains gains;
        gains.color_gain = scaled(m_.diffuse, a);
        gains.color_offset = scaled(m_.diffuse, (1.0 - a) * std::clamp(m_.self_illumination, 0.0, 1.0));
        texture(map, gains, {"oc", plug("ic")});
        break;
      }
      case MapSlot::Specular: {
        Gains gains;
        gains.color_gain = grey(a * level());
        gains.color_offset = scaled(m_.specular, (1.0 - a) * level());
        texture(map, gains, {"oc", plug("sc")});
        break;
      }
      case MapSlot::ShineStrength: {
        Gains gains;
        gains.color_gain = scaled(m_.specular, a);
        gains.color_offset = scaled(m_.specular, (1.0 - a) * level());
        texture(map, gains, {"oc", plug("sc")});
        break;
      }
      case MapSlot::Shine:
        gloss(map, a);
        break;
      case MapSlot::Opacity:
        // The file node's outTransparency is 1 - outAlpha: opacity as luminance.
        texture(map, luminance(a, 1.0 - std::clamp(m_.transparency, 0.0, 1.0)), {"ot", plug("it")});
        break;
      case MapSlot::Bump:
        bump(map);
        break;
      case MapSlot::Reflect:
        out_.print<"\tsetAttr \"%s\" %r;\n">(plug("rfl"), single(std::max(0.0, map.amount)));
        texture(map, Gains{}, {"oc", plug("rc")});
        break;
      default:
        break;
    }
  }

  void gloss(const TextureMap& map, double a) {
    const double own = m_.shine > 1.0 ? m_.shine / 128.0 : m_.shine;  // AC3D writes 0 to 128.
    const double gloss = std::clamp(own, 0.0, 1.0);
    if (nodes_.type == "phong") {
      // Cosine power 2 to 100, as the static glossiness is written.
      texture(map, luminance(a, gloss, 98.0, 2.0), {"oa", plug("cp")});
      return;
    }
    // A blinn's eccentricity is the glossiness reversed.
    const std::string reverse = utility("reverse", "GlossReverse");
    texture(map, luminance(a, gloss), {"oa", reverse + ".ix"});
    output_.connect(reverse + ".ox", plug("ec"));
  }

  void bump(const TextureMap& map) {
    const std::string bump2d = utility("bump2d", "Bump2d");
    if (map.amount != 1.0) out_.print<"\tsetAttr \".bd\" %r;\n">(single(map.amount));
    Gains gains;
    gains.alpha_is_luminance = true;
    texture(map, gains, {"oa", bump2d + ".bv"});
    output_.connect(bump2d + ".o", plug("n"));
  }

  /// The specular colour map times the specular level map, into specularColor.
  void specular_times_level(const TextureMap& specular, const TextureMap& level_map) {
    const std::string product = utility("multiplyDivide", "SpecularLevel");
    texture(specular, blended(amount(specular), m_.specular), {"oc", product + ".i1"});
    texture(level_map, blended(amount(level_map), grey(level())), {"oc", product + ".i2"});
    output_.connect(product + ".o", plug("sc"));
  }

  /// A utility node of `type` named after the shader; it is the node created last.
  std::string utility(std::string_view type, std::string_view part) {
    const std::string name = output_.names.claim(shader_ + std::string(part));
    out_.print<"createNode %s -n \"%s\";\n">(type, name);
    output_.connect(name + ".msg", ":defaultRenderUtilityList1.u", true);
    return name;
  }

  struct Join {
    std::string_view output;  // The file node's plug: "oc", "oa", "ot".
    std::string into;         // The plug it feeds.
  };

  /// A file texture of `map` with its placement, feeding `join`.
  void texture(const TextureMap& map, const Gains& gains, const Join& join) {
    const std::string part(name_part(map.slot));
    const std::string file = output_.names.claim(shader_ + part + "File");
    const std::string place = output_.names.claim(shader_ + part + "Place2d");
    out_.print<"createNode file -n \"%s\";\n\tsetAttr \".ftn\" -type \"string\" \"%s\";\n">(
        file, MelString{map.bitmap});
    if (gains.alpha_is_luminance) out_.append("\tsetAttr \".ail\" yes;\n");
    if (map.invert) out_.append("\tsetAttr \".i\" yes;\n");
    const Color& g = gains.color_gain;
    const Color& o = gains.color_offset;
    if (g[0] != 1.0F || g[1] != 1.0F || g[2] != 1.0F) {
      out_.print<"\tsetAttr \".cg\" -type \"float3\" %r %r %r ;\n">(g[0], g[1], g[2]);
    }
    if (o[0] != 0.0F || o[1] != 0.0F || o[2] != 0.0F) {
      out_.print<"\tsetAttr \".co\" -type \"float3\" %r %r %r ;\n">(o[0], o[1], o[2]);
    }
    if (gains.alpha_gain != 1.0F) out_.print<"\tsetAttr \".ag\" %r;\n">(gains.alpha_gain);
    if (gains.alpha_offset != 0.0F) out_.print<"\tsetAttr \".ao\" %r;\n">(gains.alpha_offset);
    out_.print<"createNode place2dTexture -n \"%s\";\n">(place);
    out_.print<"\tsetAttr \".re\" -type \"float2\" %r %r ;\n">(single(map.u_tiling), single(map.v_tiling));
    out_.print<"\tsetAttr \".of\" -type \"float2\" %r %r ;\n">(single(map.u_offset), single(map.v_offset));
    out_.print<"\tsetAttr \".r\" %r;\n">(single(map.angle * 180.0 / std::numbers::pi));
    // The placement drives the texture's coordinates, as Maya joins them.
    for (const char* attribute :
         {"c", "tf", "rf", "mu", "mv", "s", "wu", "wv", "re", "of", "n", "vt1", "vt2", "vt3", "vc1"}) {
      output_.connect(place + "." + attribute, file + "." + attribute);
    }
    output_.connect(place + ".r", file + ".ro");
    output_.connect(place + ".o", file + ".uv");
    output_.connect(place + ".ofs", file + ".fs");
    output_.connect(file + "." + std::string(join.output), join.into);
    // The diffuse texture is the one the viewport shows.
    if (map.slot == MapSlot::Diffuse) output_.connect(file + ".msg", std::string(nodes_.info) + ".t", true);
    output_.connect(file + ".msg", ":defaultTextureList1.tx", true);
    output_.connect(place + ".msg", ":defaultRenderUtilityList1.u", true);
  }

  MayaOutput& output_;
  MaWriter& out_;
  const Material& m_;
  const ShaderNodes& nodes_;
  std::string shader_;
};

}  // namespace

void write_material_maps(MayaOutput& output, const Material& material, const ShaderNodes& nodes) {
  MapWriter(output, material, nodes).write_all();
}

}  // namespace kestrun::extended
