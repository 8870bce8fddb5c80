#include "gen/scene.h"

#include <string>
#include <utility>

namespace kestrun::scenegen {

namespace {

// Node kinds, so that every node draws from a generator of its own.
constexpr std::uint64_t kLightNodes = std::uint64_t{1} << 40;
constexpr std::uint64_t kCameraNodes = std::uint64_t{2} << 40;
constexpr std::uint64_t kSceneNode = std::uint64_t{3} << 40;

std::string numbered(const std::string& stem, std::int64_t number, std::size_t width) {
  const std::string digits = std::to_string(number);
  return stem + std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
}

// A node at a random point within `reach` on each axis, turned about a random axis.
Node random_node(Random& random, std::string name, double reach) {
  const Vec3 position{random.uniform(-reach, reach), random.uniform(-reach, reach),
                      random.uniform(-reach, reach)};
  return {std::move(name), position, random_axis(random), random.uniform(0.001, kPi)};
}

void write_node_tm(Out& out, const Node& node, int inherit_scale) {
  const auto [x, y, z] = rotation_rows(node.axis, node.angle);
  out.print("\t*NODE_TM {\n\t\t*NODE_NAME \"%s\"\n\t\t*INHERIT_POS 0 0 0\n\t\t*INHERIT_ROT 0 0 0\n",
            node.name);
  out.print("\t\t*INHERIT_SCL %d %d %d\n", inherit_scale, inherit_scale, inherit_scale);
  out.print("\t\t*TM_ROW0 %.4f\t%.4f\t%.4f\n\t\t*TM_ROW1 %.4f\t%.4f\t%.4f\n\t\t*TM_ROW2 %.4f\t%.4f\t%.4f\n",
            x.x, x.y, x.z, y.x, y.y, y.z, z.x, z.y, z.z);
  const auto [px, py, pz] = node.position;
  out.print("\t\t*TM_ROW3 %.4f\t%.4f\t%.4f\n\t\t*TM_POS %.4f\t%.4f\t%.4f\n", px, py, pz, px, py, pz);
  out.print("\t\t*TM_ROTAXIS %.4f\t%.4f\t%.4f\n\t\t*TM_ROTANGLE %.4f\n", node.axis.x, node.axis.y,
            node.axis.z, node.angle);
  out.print(
      "\t\t*TM_SCALE 1.0000\t1.0000\t1.0000\n\t\t*TM_SCALEAXIS 0.0000\t0.0000\t0.0000\n"
      "\t\t*TM_SCALEAXISANG 0.0000\n\t}\n");
}

// Each channel from `low` to 1. (A braced list draws in order; function arguments need not.)
Vec3 random_color(Random& random, double low) {
  return {random.uniform(low, 1), random.uniform(low, 1), random.uniform(low, 1)};
}

void write_material(Out& out, Random& random, int index, bool textured) {
  const Vec3 ambient = random_color(random, 0);
  const Vec3 diffuse = random_color(random, 0);
  out.print("\t*MATERIAL %d {\n\t\t*MATERIAL_NAME \"%s\"\n\t\t*MATERIAL_CLASS \"Standard\"\n", index,
            textured ? "Checker" : "Plain");
  out.print("\t\t*MATERIAL_AMBIENT %.4f\t%.4f\t%.4f\n\t\t*MATERIAL_DIFFUSE %.4f\t%.4f\t%.4f\n", ambient.x,
            ambient.y, ambient.z, diffuse.x, diffuse.y, diffuse.z);
  out.print(
      "\t\t*MATERIAL_SPECULAR 0.9000\t0.9000\t0.9000\n"
      "\t\t*MATERIAL_SHINE 0.1000\n"
      "\t\t*MATERIAL_SHINESTRENGTH 0.0000\n"
      "\t\t*MATERIAL_TRANSPARENCY 0.0000\n"
      "\t\t*MATERIAL_WIRESIZE 1.0000\n"
      "\t\t*MATERIAL_SHADING Blinn\n"
      "\t\t*MATERIAL_XP_FALLOFF 0.0000\n"
      "\t\t*MATERIAL_SELFILLUM 0.0000\n"
      "\t\t*MATERIAL_FALLOFF In\n"
      "\t\t*MATERIAL_XP_TYPE Filter\n");
  if (!textured) return out.print("\t}\n");
  // A bitmap in the diffuse slot, exactly as the exporter writes one.
  out.print(
      "\t\t*MAP_DIFFUSE {\n"
      "\t\t\t*MAP_NAME \"Map #1\"\n"
      "\t\t\t*MAP_CLASS \"Bitmap\"\n"
      "\t\t\t*MAP_SUBNO 1\n"
      "\t\t\t*MAP_AMOUNT 1.0000\n"
      "\t\t\t*BITMAP \"checker.png\"\n"
      "\t\t\t*MAP_TYPE Screen\n"
      "\t\t\t*UVW_U_OFFSET 0.0000\n"
      "\t\t\t*UVW_V_OFFSET 0.0000\n"
      "\t\t\t*UVW_U_TILING 1.0000\n"
      "\t\t\t*UVW_V_TILING 1.0000\n"
      "\t\t\t*UVW_ANGLE 0.0000\n"
      "\t\t\t*UVW_BLUR 1.0000\n"
      "\t\t\t*UVW_BLUR_OFFSET 0.0000\n"
      "\t\t\t*UVW_NOUSE_AMT 1.0000\n"
      "\t\t\t*UVW_NOISE_SIZE 1.0000\n"
      "\t\t\t*UVW_NOISE_LEVEL 1\n"
      "\t\t\t*UVW_NOISE_PHASE 0.0000\n"
      "\t\t\t*BITMAP_FILTER Pyramidal\n"
      "\t\t}\n"
      "\t}\n");
}

// A target spot light or target camera standing up to 900 units out, looking
// at a target within 200 units of the middle. Both animate; the target only moves.
void write_viewer(Out& out, const SceneSettings& settings, bool light, std::int64_t index) {
  Random random(settings.seed, (light ? kLightNodes : kCameraNodes) + static_cast<std::uint64_t>(index));
  const Node node = random_node(random, numbered(light ? "Spot" : "Camera", index + 1, 2), 900.0);
  Node target = random_node(random, node.name + ".Target", 200.0);
  target.axis = {};
  target.angle = 0.0;
  const double distance = length(node.position - target.position);
  out.print(light ? "*LIGHTOBJECT {\n\t*NODE_NAME \"%s\"\n\t*LIGHT_TYPE Target\n"
                  : "*CAMERAOBJECT {\n\t*NODE_NAME \"%s\"\n\t*CAMERA_TYPE Target\n",
            node.name);
  write_node_tm(out, node, light ? 0 : 1);  // the exporter writes INHERIT_SCL 1 1 1 for target cameras
  write_node_tm(out, target, 0);
  if (light) {
    const bool shadows = random.one_in(2);
    const Vec3 color = random_color(random, 0.5);
    const double intensity = random.uniform(0.5, 1.5);
    const double hotspot = random.uniform(20.0, 60.0);
    const double falloff = hotspot + random.uniform(2.0, 20.0);
    out.print(
        "\t*LIGHT_SHADOWS %s\n"
        "\t*LIGHT_USELIGHT 1\n"
        "\t*LIGHT_SPOTSHAPE Circle\n"
        "\t*LIGHT_USEGLOBAL 0\n"
        "\t*LIGHT_ABSMAPBIAS 0\n"
        "\t*LIGHT_OVERSHOOT 0\n"
        "\t*LIGHT_SETTINGS {\n"
        "\t\t*TIMEVALUE 0\n"
        "\t\t*LIGHT_COLOR %.4f\t%.4f\t%.4f\n"
        "\t\t*LIGHT_INTENS %.4f\n"
        "\t\t*LIGHT_ASPECT 1.0000\n"
        "\t\t*LIGHT_HOTSPOT %.4f\n"
        "\t\t*LIGHT_FALLOFF %.4f\n"
        "\t\t*LIGHT_TDIST %.4f\n"
        "\t\t*LIGHT_MAPBIAS 1.0000\n"
        "\t\t*LIGHT_MAPRANGE 4.0000\n"
        "\t\t*LIGHT_MAPSIZE 512\n"
        "\t\t*LIGHT_RAYBIAS 0.0000\n"
        "\t}\n",
        shadows ? "Mapped" : "Off", color.x, color.y, color.z, intensity, hotspot, falloff, distance);
  } else {
    const double far = static_cast<double>(random.pick(1000, 5000));
    const double fov = random.uniform(0.4, 1.4);
    out.print(
        "\t*CAMERA_SETTINGS {\n"
        "\t\t*TIMEVALUE 0\n"
        "\t\t*CAMERA_NEAR 0.0000\n"
        "\t\t*CAMERA_FAR %.4f\n"
        "\t\t*CAMERA_FOV %.4f\n"
        "\t\t*CAMERA_TDIST %.4f\n"
        "\t}\n",
        far, fov, distance);
  }
  write_animation(out, random, node, settings.keys, settings.sampled, Tracks::kPositionRotation);
  write_animation(out, random, target, settings.keys, settings.sampled, Tracks::kPosition);
  out.print("}\n");
}

}  // namespace

void write_scene_start(Out& out, const SceneSettings& settings) {
  Random random(settings.seed, kSceneNode);
  const Vec3 ambient = random_color(random, 0);
  out.print(
      "*3DSMAX_ASCIIEXPORT\t200\n"
      "*COMMENT \"AsciiExport Version  2,00 - kestrun_generate_scene, seed %s%s\"\n"
      "*SCENE {\n"
      "\t*SCENE_FILENAME \"generated.max\"\n"
      "\t*SCENE_FIRSTFRAME 0\n"
      "\t*SCENE_LASTFRAME %d\n"
      "\t*SCENE_FRAMESPEED 30\n"
      "\t*SCENE_TICKSPERFRAME 160\n"
      "\t*SCENE_BACKGROUND_STATIC 0.0000\t0.0000\t0.0000\n"
      "\t*SCENE_AMBIENT_STATIC %.4f\t%.4f\t%.4f\n"
      "}\n"
      "*MATERIAL_LIST {\n"
      "\t*MATERIAL_COUNT 2\n",
      std::to_string(settings.seed), settings.sampled ? ", sampled" : "",
      settings.keys > 1 ? settings.keys - 1 : 0, ambient.x, ambient.y, ambient.z);
  write_material(out, random, 0, true);
  write_material(out, random, 1, false);
  out.print("}\n");
}

void write_object(Out& out, const SceneSettings& settings, std::int64_t index) {
  Random random(settings.seed, static_cast<std::uint64_t>(index));
  // Within 400 units of the middle, a mesh stays within 1000.
  const Node node = random_node(random, numbered("Object", index + 1, 3), 400.0);
  out.print("*GEOMOBJECT {\n\t*NODE_NAME \"%s\"\n", node.name);
  write_node_tm(out, node, 0);
  write_mesh(out, random, settings.vertices, node);
  out.print("\t*PROP_MOTIONBLUR 0\n\t*PROP_CASTSHADOW 1\n\t*PROP_RECVSHADOW 1\n");
  write_animation(out, random, node, settings.keys, settings.sampled, Tracks::kAll);
  out.print("\t*MATERIAL_REF %d\n}\n", index % 2);
}

void write_lights_and_cameras(Out& out, const SceneSettings& settings) {
  for (std::int64_t i = 0; i < settings.lights; ++i) write_viewer(out, settings, true, i);
  for (std::int64_t i = 0; i < settings.cameras; ++i) write_viewer(out, settings, false, i);
}

}  // namespace kestrun::scenegen
