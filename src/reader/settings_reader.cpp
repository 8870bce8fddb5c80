// LIGHT_SETTINGS and CAMERA_SETTINGS blocks, alone or at their times in
// LIGHT_ANIMATION and CAMERA_ANIMATION.
#include <string>

#include "reader/part_readers.h"

namespace kestrun::reader {
namespace {

/// The settings blocks of an animation block, each at a TIMEVALUE later
/// than the one before.
template <class Settings, class ReadOne>
std::vector<Settings> read_animated(BlockReader& reader, std::string_view block, Keyword settings_keyword,
                                    const Settings& static_settings, ReadOne read_one) {
  std::vector<Settings> at_times;
  reader.read_block(block, [&](Keyword keyword) {
    if (keyword != settings_keyword) return;
    Settings settings = static_settings;  // What a block leaves out is as the static settings have it.
    settings.time = -1.0;
    if (!read_one(reader, settings)) {
      reader.note("settings in " + std::string(block) + " without a TIMEVALUE are left out");
    } else if (!at_times.empty() && !(settings.time > at_times.back().time)) {
      reader.note("settings in " + std::string(block) + " not later than the ones before are left out");
    } else {
      at_times.push_back(settings);
    }
  });
  return at_times;
}

}  // namespace

bool read_light_settings(BlockReader& reader, LightSettings& light) {
  bool timed = false;
  reader.read_block(spelling(Keyword::LightSettings), [&](Keyword keyword) {
    switch (keyword) {
      case Keyword::TimeValue:
        light.time = reader.number(spelling(Keyword::TimeValue));
        timed = true;
        break;
      case Keyword::LightColor: {
        const Vec3 color = reader.vec3(spelling(Keyword::LightColor));
        light.color = {static_cast<float>(color.x), static_cast<float>(color.y), static_cast<float>(color.z)};
        break;
      }
      case Keyword::LightIntens:
        light.intensity = reader.number(spelling(Keyword::LightIntens));
        break;
      case Keyword::LightHotspot:
        light.hotspot = reader.number(spelling(Keyword::LightHotspot));
        break;
      case Keyword::LightFalloff:
        light.falloff = reader.number(spelling(Keyword::LightFalloff));
        break;
      default:
        break;
    }
  });
  return timed;
}

bool read_camera_settings(BlockReader& reader, CameraSettings& camera) {
  // CAMERA_HITHER and CAMERA_YON are the clipping planes of a camera that
  // clips by hand; CAMERA_NEAR and CAMERA_FAR are only its environment range
  // (for fog and the like), which clips nothing.
  bool timed = false;
  reader.read_block(spelling(Keyword::CameraSettings), [&](Keyword keyword) {
    switch (keyword) {
      case Keyword::TimeValue:
        camera.time = reader.number(spelling(Keyword::TimeValue));
        timed = true;
        break;
      case Keyword::CameraHither:
        camera.near_clip = reader.number(spelling(Keyword::CameraHither));
        break;
      case Keyword::CameraYon:
        camera.far_clip = reader.number(spelling(Keyword::CameraYon));
        break;
      case Keyword::CameraFov:
        camera.fov = reader.number(spelling(Keyword::CameraFov));
        break;
      case Keyword::CameraTdist:
        camera.target_distance = reader.number(spelling(Keyword::CameraTdist));
        break;
      default:
        break;
    }
  });
  return timed;
}

std::vector<LightSettings> read_light_animation(BlockReader& reader, const LightSettings& light) {
  return read_animated(reader, spelling(Keyword::LightAnimation), Keyword::LightSettings, light,
                       read_light_settings);
}

std::vector<CameraSettings> read_camera_animation(BlockReader& reader, const CameraSettings& camera) {
  return read_animated(reader, spelling(Keyword::CameraAnimation), Keyword::CameraSettings, camera,
                       read_camera_settings);
}

}  // namespace kestrun::reader
