#include "extended/scene_writer.h"

#include <array>
#include <cmath>

#include "base/version.h"
#include "extended/animation_curves.h"
#include "extended/curve_playback.h"
#include "extended/light_camera_writer.h"
#include "extended/mesh_animation_writer.h"
#include "extended/mesh_look.h"
#include "extended/setting_curves.h"
#include "extended/shape_writer.h"
#include "extended/visibility_curve.h"
#include "maya/header.h"

namespace kestrun::extended {
namespace {

struct TimeUnit {
  int rate;
  std::string_view name;
};
constexpr std::array<TimeUnit, 6> kTimeUnits = {
    {{24, "film"}, {25, "pal"}, {30, "ntsc"}, {48, "show"}, {50, "palf"}, {60, "ntscf"}}};

/// The time unit of `frames_per_second`, or the nearest one.
const TimeUnit& time_unit(int frames_per_second) {
  const TimeUnit* best = &kTimeUnits[2];
  for (const TimeUnit& unit : kTimeUnits) {
    if (std::abs(unit.rate - frames_per_second) < std::abs(best->rate - frames_per_second)) best = &unit;
  }
  return *best;
}

bool converted(ObjectKind kind, const RunOptions& categories) {
  switch (kind) {
    case ObjectKind::Light:
      return categories.lights;
    case ObjectKind::Camera:
      return categories.cameras;
    default:
      return categories.geometry;  // Meshes and the nodes they hang from.
  }
}

std::string_view progress_format(ObjectKind kind) {
  return kind == ObjectKind::Light ? "light" : kind == ObjectKind::Camera ? "camera" : "Object";
}

}  // namespace

SceneWriter::SceneWriter(MaWriter& out, Console& console, Warnings& warnings, ExtendedSettings settings,
                         const LocalTime& time, ConversionReport& report)
    : console_(console),
      report_(report),
      settings_(std::move(settings)),
      time_(time),
      output_{out, warnings, {}, {}},
      placer_(output_, {},
              [this](const Placement& placement, std::string_view source, const NodeAnimation& animation) {
                write_plain(placement, source, animation);
              }) {}

void SceneWriter::start() {
  started_ = true;
  MaWriter& out = output_.out;
  out.print<"//Maya ASCII 8.5 scene\n//Name: %s\n//Last modified: ">(CommentText{settings_.output_name});
  write_modified_date(out, time_);
  const TimeUnit& unit = time_unit(settings_.categories.scene ? timing_.frame_speed : 30);
  if (settings_.categories.scene && unit.rate != timing_.frame_speed) {
    output_.warnings.warn("SCENE_FRAMESPEED " + std::to_string(timing_.frame_speed) +
                          " has no Maya time unit; " + std::string(unit.name) + " (" +
                          std::to_string(unit.rate) +
                          " frames a second) is used, and keys keep their frame numbers");
  }
  out.print<"\nrequires maya \"8.5\";\ncurrentUnit -l centimeter -a degree -t %s;\n">(unit.name);
  out.print<"fileInfo \"converter\" \"Kestrun %s\";\n">(kProgramVersion);
  if (!settings_.z_up) {
    // The file's Z-up axes under one root turned to Maya's Y up.
    const std::string root = output_.names.claim(settings_.root_name);
    out.print<"createNode transform -n \"%s\";\n\tsetAttr \".r\" -type \"double3\" -90 0 0 ;\n">(root);
    placer_.set_root(root);
  }
}

void SceneWriter::on_timing(const SceneTiming& timing) {
  if (started_ && settings_.categories.scene && timing.frame_speed != timing_.frame_speed) {
    output_.warnings.warn("a SCENE block after the first object cannot change the time unit");
  }
  timing_ = timing;
  if (settings_.categories.scene) console_.write_out("Found Scene info\n");
  output_.warnings.flush("");
}

void SceneWriter::on_materials(std::vector<Material> materials) {
  materials_.set_materials(output_, std::move(materials));
  output_.warnings.flush("");
}

void SceneWriter::on_object(SceneObject object) {
  if (!started_) start();
  // Problems met in reading and in writing the object are told with its name.
  const std::string scope =
      object.name.empty() ? std::string(block_name(object.kind)) : quoted_name(object.name);
  Matrix43 world = object.transform ? object.transform->world : Matrix43{};
  const bool regular = inverse(world).has_value();
  if (!regular) world = Matrix43{};
  if (!converted(object.kind, settings_.categories)) {
    // Kept in case a node that is converted hangs from it.
    placer_.pass_over(object.name, object.parent, world,
                      settings_.categories.animation ? std::move(object.animation) : NodeAnimation{});
    output_.warnings.discard();  // Problems of what the user did not ask for are no news.
    return;
  }
  if (object.name.empty()) {
    output_.warnings.note("the object has no name; it is named \"unnamed\"");
    object.name = "unnamed";
  }
  if (!regular) {
    output_.warnings.note(
        "its NODE_TM cannot be inverted; it keeps its vertices in world space under an identity transform");
  }
  ++report_.objects;
  const std::size_t non_finite = output_.out.non_finite_written();
  write_object(object, world);
  write_target(object);
  note_non_finite(non_finite);
  console_.print("Entering %s : %s\n", progress_format(object.kind), ShownName{object.name});
  output_.warnings.flush(scope);
}

void SceneWriter::write_object(const SceneObject& object, const Matrix43& world) {
  const Placement placement = placer_.place(object.name, object.parent, world);
  const NodeMotion motion = write_node(placement, object.animation, &object.visibility);
  const bool animated = settings_.categories.animation;
  const double ticks_per_frame = timing_.ticks_per_frame;
  switch (object.kind) {
    case ObjectKind::Geometry:
      if (object.mesh) write_geometry(object, placement, motion, world);
      break;
    case ObjectKind::Light: {
      const SettingsShape shape = write_light(output_, placement.name, object.light);
      ++report_.lights;
      if (animated) {
        write_node_curves(shape.name, light_setting_curves(object.light, object.light_animation, shape.type,
                                                           ticks_per_frame));
      }
      break;
    }
    case ObjectKind::Camera: {
      const SettingsShape shape = write_camera(output_, placement.name, object.camera);
      ++report_.cameras;
      if (animated) {
        write_node_curves(shape.name,
                          camera_setting_curves(object.camera, object.camera_animation, ticks_per_frame));
      }
      break;
    }
    case ObjectKind::Shape:
      write_shape_lines(output_, placement.name, object.shape_lines, *inverse(world));
      break;
    default:
      break;
  }
  write_motion(placement, motion);
}

void SceneWriter::write_geometry(const SceneObject& object, const Placement& placement,
                                 const NodeMotion& motion, const Matrix43& world) {
  const Mesh& mesh = *object.mesh;
  const std::string shape = output_.names.claim(placement.name + "Shape");
  const auto style_of = [&](const Mesh& of) {
    return MeshStyle{materials_.shading_for(output_, object.material_ref, of),
                     materials_.look_for(object.material_ref, of, object.properties)};
  };
  const MeshStyle style = style_of(mesh);
  const Matrix43 to_local = *inverse(world);
  ++report_.meshes;
  if (!settings_.categories.animation || object.mesh_animation.empty()) {
    write_mesh(output_, workspace_, shape, placement.name, mesh, to_local, style.shading, style.look);
    return;
  }
  // Where the node is at a tick, as Maya plays back its curves and its parents'.
  const double fps = frames_per_second();
  bool parents_known = true;
  const auto to_local_at = [&](double tick) {
    const double frame = tick / timing_.ticks_per_frame;
    Matrix43 node =
        motion.curves.empty() ? placement.local : local_at(motion.channels, motion.curves, frame, fps);
    const int parent = placer_.parent_of(placement.index);
    if (parent >= 0) {
      std::optional<Matrix43> above = placer_.world_at(parent, frame, fps);
      if (!above) {
        parents_known = false;
        above = placer_.world_of(parent);
      }
      node = node * *above;
    }
    return inverse(node).value_or(to_local);
  };
  write_animated_mesh(output_, workspace_,
                      {placement.name, shape, mesh, object.mesh_animation, to_local,
                       static_cast<double>(timing_.ticks_per_frame)},
                      style, style_of, to_local_at, [this](std::string_view node, std::vector<Curve> curves) {
                        write_node_curves(node, std::move(curves));
                      });
  if (!parents_known) {
    output_.warnings.note(
        "a parent's motion is not kept (the scene's curves before it are too many); the meshes of its "
        "MESH_ANIMATION are placed as if that parent stood still");
  }
}

void SceneWriter::write_target(const SceneObject& object) {
  // A target is a node of its own: its transform and samples are in world
  // space, so it stands at the top level, not under its camera or light.
  if (!object.target && object.target_animation.empty()) return;
  Matrix43 world = object.target ? object.target->world : Matrix43{};
  if (!inverse(world)) world = Matrix43{};
  const Placement placement = placer_.place(object.name + ".Target", "", world);
  write_motion(placement, write_node(placement, object.target_animation));
}

void SceneWriter::write_plain(const Placement& placement, std::string_view source,
                              const NodeAnimation& animation) {
  // Told with its own name, apart from what the node being written has noted.
  std::vector<Warnings::Pending> noted = output_.warnings.take_pending();
  write_motion(placement, write_node(placement, animation));
  output_.warnings.flush(quoted_name(source));
  output_.warnings.restore(std::move(noted));
}

NodeMotion SceneWriter::write_node(const Placement& placement, const NodeAnimation& animation,
                                   const FloatTrack* visibility) {
  const bool animated = settings_.categories.animation && !animation.empty();
  NodeMotion motion;
  // A singular matrix (callers hand only regular ones) leaves the channels at their defaults.
  motion.channels = transform_channels(placement.local, animated ? &animation : nullptr).value_or(Channels{});
  write_transform(output_.out, placement.name, placement.parent, motion.channels);
  if (animated) motion.curves = build_curves(animation, placement.local, timing_, output_.warnings);
  if (settings_.categories.animation && visibility != nullptr) {
    NodeVisibility shown = node_visibility(*visibility, timing_.ticks_per_frame);
    if (shown.hidden) output_.out.append("\tsetAttr \".v\" no;\n");
    if (shown.curve) {
      std::vector<Curve> curve(1, std::move(*shown.curve));
      merge_keys_at_one_frame(curve, output_.warnings);
      motion.curves.push_back(std::move(curve.front()));
    }
  }
  return motion;
}

void SceneWriter::write_motion(const Placement& placement, const NodeMotion& motion) {
  if (motion.curves.empty()) return;
  write_curves(output_, placement.name, motion.curves);
  report_.animation_curves += motion.curves.size();
  placer_.keep_motion(placement.index, motion);
}

void SceneWriter::write_node_curves(std::string_view node, std::vector<Curve> curves) {
  if (curves.empty()) return;
  merge_keys_at_one_frame(curves, output_.warnings);
  write_curves(output_, node, curves);
  report_.animation_curves += curves.size();
}

double SceneWriter::frames_per_second() const {
  return time_unit(settings_.categories.scene ? timing_.frame_speed : 30).rate;
}

void SceneWriter::note_non_finite(std::size_t before) {
  const std::size_t written = output_.out.non_finite_written() - before;
  if (written == 0) return;
  output_.warnings.note(
      "a value beyond single precision is written as the largest float of its sign (one that is no number as "
      "0)",
      0, written);
}

void SceneWriter::finish() {
  output_.warnings.flush("");
  if (!started_) start();
  std::size_t non_finite = output_.out.non_finite_written();
  materials_.write_used(output_);
  note_non_finite(non_finite);
  report_.materials = materials_.networks_written();
  output_.warnings.flush("materials");
  non_finite = output_.out.non_finite_written();
  placer_.finish();
  write_closing();
  note_non_finite(non_finite);
  output_.warnings.flush("");
}

void SceneWriter::write_closing() {
  MaWriter& out = output_.out;
  const std::size_t links = materials_.light_links();
  out.print<
      "createNode lightLinker -n \"lightLinker1\";\n\tsetAttr -s %d \".lnk\";\n\tsetAttr -s %d \".slnk\";\n">(
      links, links);
  out.append(
      "createNode displayLayerManager -n \"layerManager\";\n"
      "createNode displayLayer -n \"defaultLayer\";\n"
      "createNode renderLayerManager -n \"renderLayerManager\";\n"
      "createNode renderLayer -n \"defaultRenderLayer\";\n"
      "\tsetAttr \".g\" yes;\n");
  if (settings_.categories.scene && timing_.has_range) {
    // A before-script of scene configuration runs as the file is opened.
    out.print<
        "createNode script -n \"sceneConfigurationScriptNode\";\n"
        "\tsetAttr \".b\" -type \"string\" \"playbackOptions -min %d -max %d -ast %d -aet %d \";\n"
        "\tsetAttr \".st\" 6;\n">(timing_.first_frame, timing_.last_frame, timing_.first_frame,
                                  timing_.last_frame);
    out.print<"select -ne :time1;\n\tsetAttr \".o\" %d;\n">(timing_.first_frame);
    report_.first_frame = timing_.first_frame;
    report_.last_frame = timing_.last_frame;
  }
  for (const std::string_view kind : {"lnk", "slnk"}) {
    for (int link = 0; link < 2; ++link) {
      const bool shadow = kind == "slnk";
      out.print<"connectAttr \":defaultLightSet.msg\" \"lightLinker1.%s[%d].%s\";\n">(
          kind, link, shadow ? "sllk" : "llnk");
      out.print<"connectAttr \"%s.msg\" \"lightLinker1.%s[%d].%s\";\n">(
          link == 0 ? ":initialShadingGroup" : ":initialParticleSE", kind, link, shadow ? "solk" : "olnk");
    }
  }
  out.append(
      "connectAttr \"layerManager.dli[0]\" \"defaultLayer.id\";\n"
      "connectAttr \"renderLayerManager.rlmi[0]\" \"defaultRenderLayer.rlid\";\n");
  for (const std::string& line : output_.connections) out.append(line);
  out.append("connectAttr \"lightLinker1.msg\" \":lightList1.ln\" -na;\n");
  out.print<"// End of %s\n">(CommentText{settings_.output_name});
}

}  // namespace kestrun::extended
