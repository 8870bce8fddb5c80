// SceneSink: where the parts of a scene go as they are read.
#pragma once

#include <vector>

#include "model/scene_model.h"

namespace kestrun {

/// Receives the parts of a scene in file order, each as soon as it is read.
/// What was noted in Warnings while a part was read is pending when the
/// part arrives; the sink tells it, with what it notes itself, when it is
/// done with the part.
class SceneSink {
 public:
  virtual ~SceneSink() = default;
  virtual void on_timing(const SceneTiming& timing) = 0;
  virtual void on_materials(std::vector<Material> materials) = 0;
  /// One object block, complete; GROUP heads come as objects of kind Group.
  virtual void on_object(SceneObject object) = 0;
  /// False once the sink takes no more parts (its writer has ended): the
  /// reader stops at the next top-level statement.
  [[nodiscard]] virtual bool wants_more() const { return true; }
};

}  // namespace kestrun
