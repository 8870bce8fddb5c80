// Conversion: the state the token walk and its converters share.
#pragma once

#include <cstdint>
#include <string>

#include "ase/tokenizer.h"
#include "base/console.h"
#include "base/conversion_report.h"
#include "base/run_options.h"
#include "flat/flat_mesh_writer.h"
#include "maya/ma_writer.h"
#include "maya/scene_summary.h"

namespace kestrun::flat {

/// Timing settings of the SCENE block; the last value read of each wins.
struct SceneTiming {
  std::int32_t ticks_per_frame = 0;
  std::int32_t first_frame = 0;
  std::int32_t last_frame = 0;
  std::int32_t frame_speed = 0;  // Kept, though no output uses it.
};

/// Everything the converters share while one file is walked. They move
/// through the input only with tokens.next_token() and write their nodes to
/// `out` at once; nothing else passes between them.
struct Conversion {
  Tokenizer& tokens;
  MaWriter& out;
  Console& console;
  const RunOptions& options;
  ConversionReport& report;  // What was written, counted as it is.

  SceneSummary scene;             // For the trailer: the listed nodes and the frames.
  SceneTiming timing;             // From the SCENE block.
  std::string current_node_name;  // Name of the mesh node created last.
  MeshTables mesh_tables;         // Reused by every MESH block.
};

}  // namespace kestrun::flat
