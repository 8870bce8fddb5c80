// What the structured reader gathers from an ASE scene and the extended
// writer turns into Maya nodes: the timing, the materials, and one object at
// a time with its transform, geometry, settings and animation.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/animation_model.h"
#include "model/transform_math.h"

namespace kestrun {

/// The SCENE block; a setting the file does not give keeps its default.
struct SceneTiming {
  std::int32_t first_frame = 0;
  std::int32_t last_frame = 100;
  std::int32_t frame_speed = 30;
  std::int32_t ticks_per_frame = 160;
  bool has_range = false;  // SCENE_FIRSTFRAME or SCENE_LASTFRAME was read.
};

using Color = std::array<float, 3>;

/// The slot a map fills in a material: MAP_DIFFUSE, MAP_BUMP... A map that
/// a material of another class than Standard holds, or one inside another
/// map, is MAP_GENERIC.
enum class MapSlot : std::uint8_t {
  Generic,
  Ambient,
  Diffuse,
  Specular,
  Shine,
  ShineStrength,
  SelfIllum,
  Opacity,
  FilterColor,
  Bump,
  Reflect,
  Refract
};

/// A map of a material and, for a bitmap, its file and UVW placement.
struct TextureMap {
  MapSlot slot = MapSlot::Diffuse;
  std::string map_class;  // MAP_CLASS: "Bitmap", "Checker", "Mix"...
  std::string bitmap;     // The path as written; empty for other classes.
  double amount = 1.0;    // MAP_AMOUNT: how much of the slot the map gives.
  bool invert = false;    // BITMAP_INVERT.
  double u_offset = 0.0;
  double v_offset = 0.0;
  double u_tiling = 1.0;
  double v_tiling = 1.0;
  double angle = 0.0;  // Radians.
};

struct Material {
  std::string name;
  std::string material_class;  // "Standard", "Multi/Sub-Object", ...
  std::string shading;         // "Blinn", "Phong", "Metal", ...
  Color ambient{0.2F, 0.2F, 0.2F};
  Color diffuse{0.8F, 0.8F, 0.8F};
  Color specular{0.0F, 0.0F, 0.0F};
  double shine = 0.0;           // Glossiness: 0 to 1 (AC3D writes 0 to 128).
  double shine_strength = 0.0;  // Specular level.
  double transparency = 0.0;
  double self_illumination = 0.0;  // MATERIAL_SELFILLUM, 0 to 1.
  bool two_sided = false;          // MATERIAL_TWOSIDED.
  std::vector<TextureMap> maps;    // In file order, one per slot at most.
  std::vector<Material> sub_materials;

  /// The map in `slot`, or nothing.
  [[nodiscard]] const TextureMap* map(MapSlot slot) const {
    for (const TextureMap& found : maps) {
      if (found.slot == slot) return &found;
    }
    return nullptr;
  }
};

/// The faces and lists of one MESH block, as the file gives them.
struct Mesh {
  struct Face {
    std::array<std::uint32_t, 3> corners{};  // Vertex numbers of A, B, C.
    std::uint32_t smoothing = 0;             // Bit g - 1 for smoothing group g.
    std::int32_t material_id = 0;
  };
  /// A texture-vertex channel: its list and a face of it for each mesh face.
  struct Channel {
    int number = 1;  // 1 for the main list, 2 and up for MESH_MAPPINGCHANNEL.
    std::vector<std::array<float, 2>> coordinates;
    std::vector<std::array<std::uint32_t, 3>> faces;
  };
  std::optional<double> time;  // TIMEVALUE, ticks: the time the mesh is of.
  std::vector<Vec3> vertices;  // World space, as the exporter writes them.
  std::vector<Face> faces;
  std::vector<Channel> channels;
  std::vector<Color> colors;
  std::vector<std::array<std::uint32_t, 3>> color_faces;
  /// Three per face, for corners A, B and C, in object space; empty if the
  /// file has none. A face the file gives no normals for has NaN there.
  std::vector<std::array<float, 3>> corner_normals;
  /// One per face (MESH_FACENORMAL), NaN where the file gives none; empty
  /// if the file has no MESH_NORMALS.
  std::vector<std::array<float, 3>> face_normals;
};

enum class ObjectKind { Geometry, Helper, Shape, Light, Camera, Group };

enum class LightType { Omni, Directional, TargetSpot, FreeSpot };

struct LightSettings {
  double time = 0.0;  // TIMEVALUE, ticks: the time the settings are of.
  LightType type = LightType::Omni;
  Color color{1.0F, 1.0F, 1.0F};
  double intensity = 1.0;
  double hotspot = 43.0;  // Degrees: the full inner cone.
  double falloff = 45.0;  // Degrees: the full outer cone.
  std::string shadows;    // "Off", "Mapped", "Raytraced".
};

struct CameraSettings {
  double time = 0.0;       // TIMEVALUE, ticks.
  double fov = 0.7854;     // Horizontal, radians.
  double near_clip = 0.0;  // Clipping by hand; 0: none given.
  double far_clip = 0.0;
  double target_distance = 0.0;
};

/// A node transform: where the file gives one, the world matrix.
struct NodeTransform {
  std::string name;  // The NODE_NAME inside NODE_TM.
  Matrix43 world;
};

/// A polyline of a SHAPEOBJECT: its knots and the points the exporter
/// interpolated between them, in order, in world space.
struct ShapeLine {
  bool closed = false;
  std::vector<Vec3> points;
};

/// The render settings of a GEOMOBJECT's node (PROP_*); nothing where the
/// file says nothing.
struct ObjectProperties {
  std::optional<bool> casts_shadows;
  std::optional<bool> receives_shadows;
  std::optional<bool> motion_blur;
};

/// The keyword of a kind's block ("GEOMOBJECT").
constexpr std::string_view block_name(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::Geometry:
      return "GEOMOBJECT";
    case ObjectKind::Helper:
      return "HELPEROBJECT";
    case ObjectKind::Shape:
      return "SHAPEOBJECT";
    case ObjectKind::Light:
      return "LIGHTOBJECT";
    case ObjectKind::Camera:
      return "CAMERAOBJECT";
    case ObjectKind::Group:
      return "GROUP";
  }
  return "object";
}

/// One object block of the file, complete.
struct SceneObject {
  ObjectKind kind = ObjectKind::Geometry;
  std::string name;
  std::string parent;  // NODE_PARENT, or empty.
  std::optional<NodeTransform> transform;
  std::optional<NodeTransform> target;  // A camera's or light's "<name>.Target".
  std::optional<Mesh> mesh;
  std::vector<Mesh> mesh_animation;  // MESH_ANIMATION: whole meshes at their times.
  std::vector<ShapeLine> shape_lines;
  std::optional<std::int32_t> material_ref;
  ObjectProperties properties;
  LightSettings light;
  CameraSettings camera;
  std::vector<LightSettings> light_animation;  // LIGHT_ANIMATION: the settings at their times.
  std::vector<CameraSettings> camera_animation;
  NodeAnimation animation;
  NodeAnimation target_animation;
  FloatTrack visibility;  // NODE_VISIBILITY_TRACK.
};

}  // namespace kestrun
