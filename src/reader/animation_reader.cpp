// TM_ANIMATION blocks: sampled tracks and keyed controllers.
#include <algorithm>
#include <string>

#include "reader/part_readers.h"

namespace kestrun::reader {
namespace {

enum class Channel { Position, Rotation, Scale };

/// What a controller block holds: its channel, how its keys were made, and
/// the keyword of its key lines.
struct Controller {
  Channel channel;
  KeyKind kind;
  Keyword key;
  Keyword alternative_key = Keyword::Unknown;  // Bezier rotation keys come under either name.
};

bool controller_of(Keyword block, Controller& controller) {
  switch (block) {
    case Keyword::ControlPosTrack:
      controller = {Channel::Position, KeyKind::Sample, Keyword::ControlPosSample};
      return true;
    case Keyword::ControlRotTrack:
      controller = {Channel::Rotation, KeyKind::Sample, Keyword::ControlRotSample};
      return true;
    case Keyword::ControlScaleTrack:
      controller = {Channel::Scale, KeyKind::Sample, Keyword::ControlScaleSample};
      return true;
    case Keyword::ControlPosLinear:
      controller = {Channel::Position, KeyKind::Linear, Keyword::ControlPosKey};
      return true;
    case Keyword::ControlPosTcb:
      controller = {Channel::Position, KeyKind::Tcb, Keyword::ControlTcbPosKey};
      return true;
    case Keyword::ControlPosBezier:
      controller = {Channel::Position, KeyKind::Bezier, Keyword::ControlBezierPosKey};
      return true;
    case Keyword::ControlRotLinear:
      controller = {Channel::Rotation, KeyKind::Linear, Keyword::ControlRotKey};
      return true;
    case Keyword::ControlRotTcb:
      controller = {Channel::Rotation, KeyKind::Tcb, Keyword::ControlTcbRotKey};
      return true;
    case Keyword::ControlRotBezier:
      // The exporter writes no tangents for rotations: its keys read as linear ones.
      controller = {Channel::Rotation, KeyKind::Linear, Keyword::ControlRotKey, Keyword::ControlBezierRotKey};
      return true;
    case Keyword::ControlScaleLinear:
      controller = {Channel::Scale, KeyKind::Linear, Keyword::ControlScaleKey};
      return true;
    case Keyword::ControlScaleTcb:
      controller = {Channel::Scale, KeyKind::Tcb, Keyword::ControlTcbScaleKey};
      return true;
    case Keyword::ControlScaleBezier:
      controller = {Channel::Scale, KeyKind::Bezier, Keyword::ControlBezierScaleKey};
      return true;
    default:
      return false;
  }
}

/// One key line: the time, the value, then what its kind adds.
Key read_key(BlockReader& reader, const Controller& controller) {
  Key key;
  key.time = reader.number("key time");
  key.value = reader.vec3("key value");
  if (controller.channel == Channel::Rotation) key.angle = reader.number("rotation angle");
  if (controller.channel == Channel::Scale) {
    key.scale_axis = reader.vec3("scale axis");
    key.scale_axis_angle = reader.number("scale axis angle");
  }
  if (controller.kind == KeyKind::Bezier) {
    key.in_tangent = reader.vec3("in tangent");
    key.out_tangent = reader.vec3("out tangent");
    key.flags = static_cast<unsigned>(std::clamp<std::int64_t>(reader.integer("key flags"), 0, 0xFFFFFFFF));
  } else if (controller.kind == KeyKind::Tcb) {
    key.tension = reader.number("tension");
    key.continuity = reader.number("continuity");
    key.bias = reader.number("bias");
  }
  return key;
}

Track read_track(BlockReader& reader, const Controller& controller) {
  Track track{controller.kind, {}};
  reader.read_block("animation controller", [&](Keyword keyword) {
    if (keyword != controller.key && keyword != controller.alternative_key) return;
    Key key = read_key(reader, controller);
    if (!track.keys.empty() && !(key.time > track.keys.back().time)) {
      reader.note("a key that is not later than the one before is left out");
      return;
    }
    track.keys.push_back(key);
  });
  return track;
}

/// A float controller block: how its keys were made and the keyword of its
/// key lines (a sampled one's "*CONTROL_FLOAT_SAMPLE "class" {" holds
/// CONTROL_FLOAT_KEY lines, as a linear one does).
bool float_controller_of(Keyword block, KeyKind& kind, Keyword& key) {
  switch (block) {
    case Keyword::ControlFloatSample:
      kind = KeyKind::Sample;
      key = Keyword::ControlFloatKey;
      return true;
    case Keyword::ControlFloatLinear:
      kind = KeyKind::Linear;
      key = Keyword::ControlFloatKey;
      return true;
    case Keyword::ControlFloatTcb:
      kind = KeyKind::Tcb;
      key = Keyword::ControlTcbFloatKey;
      return true;
    case Keyword::ControlFloatBezier:
      kind = KeyKind::Bezier;
      key = Keyword::ControlBezierFloatKey;
      return true;
    default:
      return false;
  }
}

FloatKey read_float_key(BlockReader& reader, KeyKind kind) {
  FloatKey key;
  key.time = reader.number("key time");
  key.value = reader.number("key value");
  if (kind == KeyKind::Bezier) {
    key.in_tangent = reader.number("in tangent");
    key.out_tangent = reader.number("out tangent");
    key.flags = static_cast<unsigned>(std::clamp<std::int64_t>(reader.integer("key flags"), 0, 0xFFFFFFFF));
  } else if (kind == KeyKind::Tcb) {
    key.tension = reader.number("tension");
    key.continuity = reader.number("continuity");
    key.bias = reader.number("bias");
  }
  return key;
}

}  // namespace

FloatTrack read_visibility_track(BlockReader& reader) {
  FloatTrack track;
  reader.read_block(spelling(Keyword::NodeVisibilityTrack), [&](Keyword block) {
    KeyKind kind{};
    Keyword key_keyword{};
    if (!float_controller_of(block, kind, key_keyword)) return;
    if (!track.keys.empty()) reader.note("a second controller in NODE_VISIBILITY_TRACK replaces the first");
    track = {kind, {}};
    reader.read_block("a float controller", [&](Keyword keyword) {
      if (keyword != key_keyword) return;
      const FloatKey key = read_float_key(reader, kind);
      if (!track.keys.empty() && !(key.time > track.keys.back().time)) {
        reader.note("a key that is not later than the one before is left out");
        return;
      }
      track.keys.push_back(key);
    });
  });
  return track;
}

void read_tm_animation(BlockReader& reader, SceneObject& object) {
  std::string name;
  NodeAnimation animation;
  reader.read_block(spelling(Keyword::TmAnimation), [&](Keyword keyword) {
    if (keyword == Keyword::NodeName) {
      name = reader.text(spelling(Keyword::NodeName));
      return;
    }
    Controller controller{};
    if (!controller_of(keyword, controller)) return;
    Track& track = controller.channel == Channel::Position   ? animation.position
                   : controller.channel == Channel::Rotation ? animation.rotation
                                                             : animation.scale;
    if (!track.keys.empty()) reader.note("a second controller of one channel replaces the first");
    track = read_track(reader, controller);
  });
  NodeAnimation& into = names_target(name, object) ? object.target_animation : object.animation;
  if (!into.empty()) reader.note("a further TM_ANIMATION block replaces the tracks it has");
  for (Track* track : {&animation.position, &animation.rotation, &animation.scale}) {
    Track& destination = track == &animation.position   ? into.position
                         : track == &animation.rotation ? into.rotation
                                                        : into.scale;
    if (!track->keys.empty()) destination = std::move(*track);
  }
}

}  // namespace kestrun::reader
