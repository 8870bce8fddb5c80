// Conversion: the state of one run, handed to every converter.
#pragma once

#include <string>
#include <string_view>

#include "ase/tokenizer.h"
#include "convert/node_names.h"
#include "convert/scene_timing.h"
#include "driver/console.h"
#include "driver/run_options.h"
#include "maya/ma_writer.h"

namespace kestrun {

/// Everything the converters share while one file is converted. Converters
/// move through the input only with tokens.next_token() and write their nodes
/// to `out` at once; nothing else passes between them.
struct Conversion {
  Tokenizer& tokens;
  MaWriter& out;
  Console& console;
  RunOptions options;
  std::string_view output_name;

  NodeNameList mesh_list;
  NodeNameList light_list;
  SceneTiming timing;
  std::string current_node_name;  // Name of the mesh node created last.
};

}  // namespace kestrun
