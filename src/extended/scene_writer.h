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

namespace kestrun::extended {

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

  /// The transform of a placed node, its channels as its animation will drive
  /// them; returns them with the curves of its animation and visibility
  /// (built, not yet written).
  NodeMotion write_node(const Placement& placement, const NodeAnimation& animation,
                        const FloatTrack* visibility = nullptr);
  /// Writes the curves of the node and keeps its motion for the nodes under it.
  void write_motion(const Placement& placement, const NodeMotion& motion);
  void write_geometry(const SceneObject& object, const Placement& placement, const NodeMotion& motion,
                      const Matrix43& world);
  /// Writes curves of `node` (a shape, a deformer) and counts them.
  void write_node_curves(std::string_view node, std::vector<Curve> curves);
  /// The frame rate of the Maya time unit the file is written in.
  [[nodiscard]] double frames_per_second() const;
  /// A node the switches left out, written because a converted one hangs from it.
  void write_plain(const Placement& placement, std::string_view source, const NodeAnimation& animation);
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

}  // namespace kestrun::extended
