// RunOptions: what a run converts.
#pragma once

namespace kestrun {

/// The categories a run converts. With no switch on the command line all of
/// them are on.
struct RunOptions {
  bool animation = false;  // TM_ANIMATION blocks of converted GEOMOBJECTs
  bool geometry = false;   // GEOMOBJECT blocks
  bool lights = false;     // LIGHTOBJECT blocks
  bool cameras = false;    // CAMERAOBJECT blocks
  bool scene = false;      // the SCENE block's timing

  bool extended = false;  // Convert all a scene holds, for Maya today, not as Maya ASCII 3.0.
  bool z_up = false;      // Extended: keep the file's Z-up axes instead of turning them to Y up.

  /// Options that convert everything, in the default mode.
  static constexpr RunOptions everything() { return {true, true, true, true, true, false, false}; }
};

}  // namespace kestrun
