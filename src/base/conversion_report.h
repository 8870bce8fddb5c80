// ConversionReport: what a conversion wrote, counted as it is written.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrun {

/// Filled in by either mode while it writes, so that a run that fails keeps
/// the counts of what was written before the failure.
struct ConversionReport {
  std::size_t objects = 0;           // Object blocks converted (meshes', lights', cameras', helpers'...).
  std::size_t meshes = 0;            // Mesh nodes written.
  std::size_t lights = 0;            // Light nodes written.
  std::size_t cameras = 0;           // Camera nodes written.
  std::size_t materials = 0;         // Shading networks written (the extended mode).
  std::size_t animation_curves = 0;  // Animation curves written.
  std::int32_t first_frame = 0;      // The playback range written; 0 and 0 when none is.
  std::int32_t last_frame = 0;
};

}  // namespace kestrun
