#include "gen/scene_nodes.h"

#include <string_view>
#include <utility>

#include "gen/animation_block.h"
#include "gen/mesh_block.h"
#include "gen/node_tm.h"
#include "gen/random.h"

namespace kestrun::scenegen {

namespace {

// Meshes sit near the middle so their +-450 unit grids stay within +-1000;
// lights and cameras stand further out, looking in at targets near the middle.
constexpr Units kObjectReach = 400 * kOne;
constexpr Units kViewerReach = 900 * kOne;
constexpr Units kTargetReach = 200 * kOne;

std::string numbered(std::string_view stem, std::int64_t number, std::size_t width) {
  std::string digits = std::to_string(number);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return std::string(stem) + digits;
}

void write_line(OutBuffer& out, int indent, std::string_view text) {
  out.tabs(indent);
  out.text(text);
  out.end_line();
}

void write_name_line(OutBuffer& out, std::string_view name) {
  out.text("\t*NODE_NAME \"");
  out.text(name);
  out.put('"');
  out.end_line();
}

void write_value_line(OutBuffer& out, std::string_view keyword, Units value) {
  out.text("\t\t");
  out.text(keyword);
  out.put(' ');
  out.fixed4(value);
  out.end_line();
}

struct Viewer {
  std::string name;
  std::string target_name;
  NodeTransform transform;
  Point target;
};

Viewer make_viewer(Random& random, std::string name) {
  Viewer viewer;
  viewer.target_name = name + ".Target";
  viewer.name = std::move(name);
  viewer.transform = random_transform(random, kViewerReach);
  viewer.target = random_point(random, kTargetReach);
  return viewer;
}

void write_viewer_animation(OutBuffer& out, Random& random, const ScenePlan& plan, const Viewer& viewer) {
  write_tm_animation(out, random, viewer.name, viewer.transform.position, plan.keys,
                     Tracks::kPositionRotation);
  write_tm_animation(out, random, viewer.target_name, viewer.target, plan.keys, Tracks::kPosition);
}

void write_light_settings(OutBuffer& out, Random& random, Units target_distance) {
  const Units hotspot = random.uniform(20 * kOne, 60 * kOne);
  write_line(out, 1, "*LIGHT_SETTINGS {");
  write_line(out, 2, "*TIMEVALUE 0");
  write_triple_line(
      out, 2, "*LIGHT_COLOR",
      {random.uniform(kOne / 2, kOne), random.uniform(kOne / 2, kOne), random.uniform(kOne / 2, kOne)});
  write_value_line(out, "*LIGHT_INTENS", random.uniform(kOne / 2, 3 * kOne / 2));
  write_value_line(out, "*LIGHT_ASPECT", kOne);
  write_value_line(out, "*LIGHT_HOTSPOT", hotspot);
  write_value_line(out, "*LIGHT_FALLOFF", hotspot + random.uniform(2 * kOne, 20 * kOne));
  write_value_line(out, "*LIGHT_TDIST", target_distance);
  write_value_line(out, "*LIGHT_MAPBIAS", kOne);
  write_value_line(out, "*LIGHT_MAPRANGE", 4 * kOne);
  write_line(out, 2, "*LIGHT_MAPSIZE 512");
  write_value_line(out, "*LIGHT_RAYBIAS", 0);
  write_line(out, 1, "}");
}

void write_camera_settings(OutBuffer& out, Random& random, Units target_distance) {
  write_line(out, 1, "*CAMERA_SETTINGS {");
  write_line(out, 2, "*TIMEVALUE 0");
  write_value_line(out, "*CAMERA_NEAR", 0);
  write_value_line(out, "*CAMERA_FAR", random.uniform(1000, 5000) * kOne);
  write_value_line(out, "*CAMERA_FOV", random.uniform(4000, 14000));
  write_value_line(out, "*CAMERA_TDIST", target_distance);
  write_line(out, 1, "}");
}

}  // namespace

std::string object_name(std::int64_t index) { return numbered("Object", index + 1, 3); }

void write_geom_object(OutBuffer& out, const ScenePlan& plan, std::int64_t index) {
  Random random(stream_seed(plan.seed, Stream::kGeometry, static_cast<std::uint64_t>(index)));
  const std::string name = object_name(index);
  const NodeTransform transform = random_transform(random, kObjectReach);
  write_line(out, 0, "*GEOMOBJECT {");
  write_name_line(out, name);
  write_node_tm(out, name, transform);
  write_mesh(out, random, transform.position, plan.vertices);
  write_line(out, 1, "*PROP_MOTIONBLUR 0");
  write_line(out, 1, "*PROP_CASTSHADOW 1");
  write_line(out, 1, "*PROP_RECVSHADOW 1");
  write_tm_animation(out, random, name, transform.position, plan.keys, Tracks::kPositionRotationScale);
  out.text("\t*MATERIAL_REF ");
  out.integer(index % 2);
  out.end_line();
  write_line(out, 0, "}");
}

void write_light(OutBuffer& out, const ScenePlan& plan, std::int64_t index) {
  Random random(stream_seed(plan.seed, Stream::kLight, static_cast<std::uint64_t>(index)));
  const Viewer light = make_viewer(random, numbered("Spot", index + 1, 2));
  write_line(out, 0, "*LIGHTOBJECT {");
  write_name_line(out, light.name);
  write_line(out, 1, "*LIGHT_TYPE Target");
  write_node_tm(out, light.name, light.transform);
  write_node_tm(out, light.target_name, still_transform(light.target));
  write_line(out, 1, random.one_in(2) ? "*LIGHT_SHADOWS Off" : "*LIGHT_SHADOWS Mapped");
  write_line(out, 1, "*LIGHT_USELIGHT 1");
  write_line(out, 1, "*LIGHT_SPOTSHAPE Circle");
  write_line(out, 1, "*LIGHT_USEGLOBAL 0");
  write_line(out, 1, "*LIGHT_ABSMAPBIAS 0");
  write_line(out, 1, "*LIGHT_OVERSHOOT 0");
  write_light_settings(out, random, distance(light.transform.position, light.target));
  write_viewer_animation(out, random, plan, light);
  write_line(out, 0, "}");
}

void write_camera(OutBuffer& out, const ScenePlan& plan, std::int64_t index) {
  Random random(stream_seed(plan.seed, Stream::kCamera, static_cast<std::uint64_t>(index)));
  Viewer camera = make_viewer(random, numbered("Camera", index + 1, 2));
  camera.transform.inherit_scale = true;
  write_line(out, 0, "*CAMERAOBJECT {");
  write_name_line(out, camera.name);
  write_line(out, 1, "*CAMERA_TYPE Target");
  write_node_tm(out, camera.name, camera.transform);
  write_node_tm(out, camera.target_name, still_transform(camera.target));
  write_camera_settings(out, random, distance(camera.transform.position, camera.target));
  write_viewer_animation(out, random, plan, camera);
  write_line(out, 0, "}");
}

}  // namespace kestrun::scenegen
