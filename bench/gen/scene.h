// The blocks of a generated scene, in the order the exporter writes them.
#pragma once

#include <cstdint>
#include <string>

#include "gen/math.h"
#include "gen/out.h"

namespace kestrun::scenegen {

struct SceneSettings {
  std::int64_t vertices = 1000;  // per object, at least 9; faces are twice as many
  std::int64_t keys = 200;       // per track: keys, or frames when sampled
  std::int64_t lights = 2;
  std::int64_t cameras = 2;
  std::uint64_t seed = 1;
  bool sampled = false;
};

/// The export header, *COMMENT, *SCENE and *MATERIAL_LIST.
void write_scene_start(Out& out, const SceneSettings& settings);
/// GEOMOBJECT "Object<index + 1>": a textured, animated mesh.
void write_object(Out& out, const SceneSettings& settings, std::int64_t index);
/// The target spot lights, then the target cameras.
void write_lights_and_cameras(Out& out, const SceneSettings& settings);

// Shared by the blocks below.

/// A node as its NODE_TM places it.
struct Node {
  std::string name;
  Vec3 position;
  Vec3 axis;  // unit length, or zero when the node is not turned
  double angle = 0.0;
};

/// The MESH block: a jittered torus of `vertices` vertices, placed by `node`.
void write_mesh(Out& out, Random& random, std::int64_t vertices, const Node& node);

/// A target only moves; a light or camera also turns; a mesh also scales.
enum class Tracks { kPosition, kPositionRotation, kAll };
/// The TM_ANIMATION block over frames 0 to keys - 1; none when `keys` is 0.
void write_animation(Out& out, Random& random, const Node& node, std::int64_t keys, bool sampled,
                     Tracks tracks);

}  // namespace kestrun::scenegen
