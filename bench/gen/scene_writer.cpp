#include "gen/scene_writer.h"

#include "gen/scene_nodes.h"
#include "gen/scene_start.h"

namespace kestrun::scenegen {

namespace {

void write_viewers(OutBuffer& out, const ScenePlan& plan) {
  for (std::int64_t i = 0; i < plan.lights; ++i) write_light(out, plan, i);
  for (std::int64_t i = 0; i < plan.cameras; ++i) write_camera(out, plan, i);
}

}  // namespace

void write_scene(OutBuffer& out, const ScenePlan& plan) {
  write_scene_start(out, plan);
  for (std::int64_t i = 0; i < plan.objects; ++i) write_geom_object(out, plan, i);
  write_viewers(out, plan);
}

std::uint64_t frame_size(const ScenePlan& plan) {
  OutBuffer out = OutBuffer::counting(plan.crlf);
  write_scene_start(out, plan);
  write_viewers(out, plan);
  return out.size();
}

std::uint64_t object_size(const ScenePlan& plan, std::int64_t index) {
  OutBuffer out = OutBuffer::counting(plan.crlf);
  write_geom_object(out, plan, index);
  return out.size();
}

}  // namespace kestrun::scenegen
