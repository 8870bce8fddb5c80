// The TM_ANIMATION block: key-framed position, rotation and scale controllers.
#pragma once

#include <cstdint>
#include <string_view>

#include "gen/node_tm.h"
#include "gen/out_buffer.h"
#include "gen/random.h"

namespace kestrun::scenegen {

/// Which controller groups a TM_ANIMATION block holds.
enum class Tracks {
  kPosition,              // a target: it only moves
  kPositionRotation,      // a light or camera
  kPositionRotationScale  // a mesh
};

/// Ticks per frame, as SCENE_TICKSPERFRAME states.
inline constexpr std::int64_t kTicksPerFrame = 160;

/// The frame of the last key when each group has `keys` keys.
std::int64_t last_key_frame(std::int64_t keys);

/// Writes a TM_ANIMATION block (one tab deep) for the node `name` with `keys`
/// keys in each group. Key k falls on frame k (k * 160 ticks); about one key in
/// eight, never the first or last, is moved off its frame to a tick in between.
/// Positions wander from `start` and stay within 1000 units of the origin.
void write_tm_animation(OutBuffer& out, Random& random, std::string_view name, const Point& start,
                        std::int64_t keys, Tracks tracks);

}  // namespace kestrun::scenegen
