#include "extended/scene_writer.h"

#include <array>
#include <cmath>

#include "base/version.h"
#include "extended/animation_curves.h"
#include "extended/light_camera_writer.h"
#include "maya/header.h"

namespace kestrun {
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
      placer_(output_, {}) {}

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
  if (!converted(object.kind, settings_.categories)) {
    placer_.pass_over(object.name);
    output_.warnings.discard();  // Problems of what the user did not ask for are no news.
    return;
  }
  if (object.name.empty()) {
    output_.warnings.note("the object has no name; it is named \"unnamed\"");
    object.name = "unnamed";
  }
  Matrix43 world = object.transform ? object.transform->world : Matrix43{};
  if (!inverse(world)) {
    output_.warnings.note(
        "its NODE_TM cannot be inverted; it keeps its vertices in world space under an identity transform");
    world = Matrix43{};
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
  write_transform(output_.out, placement.name, placement.parent, placement.local);
  switch (object.kind) {
    case ObjectKind::Geometry:
      if (object.mesh) {
        const FaceShading shading = materials_.shading_for(output_, object.material_ref, *object.mesh);
        write_mesh(output_, workspace_, output_.names.claim(placement.name + "Shape"), placement.name,
                   *object.mesh, *inverse(world), shading);
        ++report_.meshes;
      }
      break;
    case ObjectKind::Light:
      write_light(output_, placement.name, object.light);
      ++report_.lights;
      break;
    case ObjectKind::Camera:
      write_camera(output_, placement.name, object.camera);
      ++report_.cameras;
      break;
    case ObjectKind::Shape:
      output_.warnings.note("the splines of a SHAPEOBJECT are not converted; its transform is");
      break;
    default:
      break;
  }
  write_animation(placement.name, object.animation);
}

void SceneWriter::write_target(const SceneObject& object) {
  // A target is a node of its own: its transform and samples are in world
  // space, so it stands at the top level, not under its camera or light.
  if (!object.target && object.target_animation.empty()) return;
  Matrix43 world = object.target ? object.target->world : Matrix43{};
  if (!inverse(world)) world = Matrix43{};
  const Placement placement = placer_.place(object.name + ".Target", "", world);
  write_transform(output_.out, placement.name, placement.parent, placement.local);
  write_animation(placement.name, object.target_animation);
}

void SceneWriter::write_animation(std::string_view node, const NodeAnimation& animation) {
  if (!settings_.categories.animation || animation.empty()) return;
  const std::vector<Curve> curves = build_curves(animation, timing_, output_.warnings);
  write_curves(output_, node, curves);
  report_.animation_curves += curves.size();
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

}  // namespace kestrun
