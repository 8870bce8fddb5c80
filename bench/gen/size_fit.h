// Choosing the mesh size that makes a scene come out at a given file size.
#pragma once

#include <cstdint>

#include "gen/scene_plan.h"

namespace kestrun::scenegen {

/// Largest vertex count per object the generator accepts.
inline constexpr std::int64_t kMaxVertices = 5'000'000;

/// Returns `plan` with the vertices per object chosen so that the whole scene
/// comes out within about 1% of `target_bytes`. Unless `keys_fixed`, the key
/// count is first lowered when animation alone would take over a third of the
/// target (small scenes would otherwise be nothing but keys). Throws
/// std::runtime_error when even the smallest meshes overshoot the target.
ScenePlan fit_to_size(ScenePlan plan, std::uint64_t target_bytes, bool keys_fixed);

}  // namespace kestrun::scenegen
