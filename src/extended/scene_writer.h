// SceneWriter: the extended mode's Maya ASCII file, written as the scene is read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/clock.h"
#include "base/console.h"
#include "base/conversion_report.h"
#include "base/run_options.h"
#include "base/warnings.h"
#include "extended/material_library.h"
#include "extended/maya_output.h"
#include "extended/mesh_writer.h"
#include "extended/node_placement.h"
#include "model/scene_sink.h"

namespace kestrun {

struct ExtendedSettings {
  RunOptions categories;    // What to convert, as the switches say.
  bool z_up = false;        // Leave the nodes in the file's Z-up axes, without the root.
  std::string root_name;    // The Y-up root's name: the input file's stem.
  std::string output_name;  // For the header and the end comment.
};

/// Writes each object as it arrives: its transform under its parent, its
/// shape (mesh, light or camera), its target and its animation curves.
/// The material networks, late parenting, default nodes and every
/// connection follow in finish(), as Maya orders its files. What it writes
/// is counted in `report`.
class SceneWriter final : public SceneSink {
 public:
  SceneWriter(MaWriter& out, Console& console, Warnings& warnings, ExtendedSettings settings,
              const LocalTime& time, ConversionReport& report);

  void on_timing(const SceneTiming& timing) override;
  void on_materials(std::vector<Material> materials) override;
  void on_object(SceneObject object) override;

  /// Writes everything that waits for the end, and the end comment.
  void finish();

 private:
  void start();
  void write_object(const SceneObject& object, const Matrix43& world);
  void write_target(const SceneObject& object);
  void write_closing();

  void write_animation(std::string_view node, const NodeAnimation& animation);
  /// Notes the values written since the writer had written `before` that
  /// were not finite (a transform or product beyond single precision).
  void note_non_finite(std::size_t before);

  Console& console_;
  ConversionReport& report_;
  ExtendedSettings settings_;
  LocalTime time_;
  MayaOutput output_;
  MaterialLibrary materials_;
  NodePlacer placer_;
  MeshWorkspace workspace_;
  SceneTiming timing_;
  bool started_ = false;
};

}  // namespace kestrun
