// The counts that decide a generated scene.
#pragma once

#include <cstdint>

namespace kestrun::scenegen {

struct ScenePlan {
  std::int64_t objects = 40;
  std::int64_t vertices = 1000;  // per object; faces are twice as many
  std::int64_t keys = 200;       // per controller group
  std::int64_t lights = 2;
  std::int64_t cameras = 2;
  std::uint64_t seed = 1;
  bool crlf = false;
};

}  // namespace kestrun::scenegen
