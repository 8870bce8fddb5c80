// RunOptions and the reading of the command line.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "driver/console.h"

namespace kestrun {

/// What a run converts. Switches only ever go from off to on.
struct RunOptions {
  bool animation = false;  // TM_ANIMATION blocks of converted GEOMOBJECTs
  bool geometry = false;   // GEOMOBJECT blocks
  bool lights = false;     // LIGHTOBJECT blocks
  bool cameras = false;    // CAMERAOBJECT blocks
  bool universal = false;  // all of the above and the scene
  bool scene = false;      // the SCENE block's timing

  /// Options that convert everything.
  static RunOptions everything();
};

/// The two file names and the switches of a run.
struct CommandLine {
  std::string input_name;
  std::string output_name;
  RunOptions options;
};

/// Reads `arguments` (the first is the program's own name, not used). Two
/// file names alone convert everything; switches after them are taken by
/// their second character, in either case. Shows the help screen or reports
/// a usage error through `console` as the arguments ask, ending the run.
CommandLine read_command_line(std::span<const std::string_view> arguments, Console& console);

}  // namespace kestrun
