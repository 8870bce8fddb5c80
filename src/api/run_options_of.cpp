#include "api/run_options_of.h"

namespace kestrun {

RunOptions run_options_of(const Options& options) {
  RunOptions run;
  run.geometry = options.geometry;
  run.animation = options.animation;
  run.lights = options.lights;
  run.cameras = options.cameras;
  run.scene = options.scene;
  run.extended = options.extended;
  run.z_up = options.z_up;
  return run;
}

Options api_options_of(const RunOptions& run) {
  Options options;
  options.geometry = run.geometry;
  options.animation = run.animation;
  options.lights = run.lights;
  options.cameras = run.cameras;
  options.scene = run.scene;
  options.extended = run.extended;
  options.z_up = run.z_up;
  return options;
}

}  // namespace kestrun
