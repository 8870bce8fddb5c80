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

  /// Options that convert everything.
  static constexpr RunOptions everything() { return {true, true, true, true, true}; }
};

}  // namespace kestrun
