// SceneTiming: the run's record of the SCENE block.
#pragma once

#include <cstdint>

namespace kestrun {

struct Conversion;

/// Timing settings of the scene; the last value read of each wins.
struct SceneTiming {
  std::int32_t ticks_per_frame = 0;
  std::int32_t first_frame = 0;
  std::int32_t last_frame = 0;
  std::int32_t frame_speed = 0;
};

/// Reads a SCENE block (entered on its keyword, left on its closing brace or
/// the end token) into the conversion's timing.
void read_scene(Conversion& conversion);

}  // namespace kestrun
