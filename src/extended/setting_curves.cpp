#include "extended/setting_curves.h"

#include <algorithm>

#include "extended/light_camera_writer.h"

namespace kestrun::extended {
namespace {

/// A curve of `value_of` at each time, unless every time gives the value
/// written without animation (as the file writes it: single precision).
template <class Settings, class ValueOf>
void add_curve(std::vector<Curve>& curves, std::string_view attribute, const Settings& static_settings,
               const std::vector<Settings>& at_times, double ticks_per_frame, ValueOf value_of) {
  const auto still = static_cast<float>(value_of(static_settings));
  const bool changes = std::any_of(at_times.begin(), at_times.end(), [&](const Settings& settings) {
    return static_cast<float>(value_of(settings)) != still;
  });
  if (!changes) return;
  Curve curve{std::string(attribute), {}};
  curve.keys.reserve(at_times.size());
  for (const Settings& settings : at_times) {
    curve.keys.push_back({settings.time / ticks_per_frame, value_of(settings)});
  }
  curves.push_back(std::move(curve));
}

}  // namespace

std::vector<Curve> camera_setting_curves(const CameraSettings& static_settings,
                                         const std::vector<CameraSettings>& at_times,
                                         double ticks_per_frame) {
  std::vector<Curve> curves;
  if (at_times.empty()) return curves;
  add_curve(curves, "fl", static_settings, at_times, ticks_per_frame,
            [](const CameraSettings& c) { return focal_length(c); });
  const bool clipped = std::all_of(at_times.begin(), at_times.end(), [](const CameraSettings& c) {
    return c.near_clip > 0 && c.far_clip > c.near_clip;
  });
  if (clipped) {
    add_curve(curves, "ncp", static_settings, at_times, ticks_per_frame,
              [](const CameraSettings& c) { return c.near_clip; });
    add_curve(curves, "fcp", static_settings, at_times, ticks_per_frame,
              [](const CameraSettings& c) { return c.far_clip; });
  }
  const bool targeted = std::all_of(at_times.begin(), at_times.end(),
                                    [](const CameraSettings& c) { return c.target_distance > 0; });
  if (targeted) {
    add_curve(curves, "coi", static_settings, at_times, ticks_per_frame,
              [](const CameraSettings& c) { return c.target_distance; });
  }
  return curves;
}

std::vector<Curve> light_setting_curves(const LightSettings& static_settings,
                                        const std::vector<LightSettings>& at_times,
                                        std::string_view shape_type, double ticks_per_frame) {
  std::vector<Curve> curves;
  if (at_times.empty()) return curves;
  constexpr std::string_view kChannels[] = {"cr", "cg", "cb"};
  for (std::size_t c = 0; c < 3; ++c) {
    add_curve(curves, kChannels[c], static_settings, at_times, ticks_per_frame,
              [c](const LightSettings& light) { return double{light.color[c]}; });
  }
  add_curve(curves, "in", static_settings, at_times, ticks_per_frame,
            [](const LightSettings& light) { return light.intensity; });
  if (shape_type == "spotLight") {
    add_curve(curves, "ca", static_settings, at_times, ticks_per_frame, spot_cone);
    add_curve(curves, "pa", static_settings, at_times, ticks_per_frame, spot_penumbra);
  }
  return curves;
}

}  // namespace kestrun::extended
