// SceneSink: where the parts of a scene go as they are read.
#pragma once

#include <vector>

#include "model/scene_model.h"

namespace kestrun {

/// Receives the parts of a scene in file order, each as soon as it is read.
class SceneSink {
 public:
  virtual ~SceneSink() = default;
  virtual void on_timing(const SceneTiming& timing) = 0;
  virtual void on_materials(std::vector<Material> materials) = 0;
  /// One object block, complete; GROUP heads come as objects of kind Group.
  virtual void on_object(SceneObject object) = 0;
};

}  // namespace kestrun
