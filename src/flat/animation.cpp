#include "flat/animation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "flat/block_walk.h"
#include "flat/rotation.h"
#include "flat/value_reader.h"

namespace kestrun::flat {
namespace {

/// Ticks per frame when the scene gives none: 4800 ticks a second at 30
/// frames a second, the exporter's default.
constexpr std::int32_t kDefaultTicksPerFrame = 160;

/// One key as it is written: its frame and its X, Y and Z curve values.
struct Key {
  std::int32_t frame;
  std::array<float, 3> values;
};

/// The formats of one kind of key group: three curves and three connections.
struct GroupFormats {
  std::array<FormatString<QuotedName>, 3> curves;
  std::array<FormatString<QuotedName, QuotedName>, 3> connections;
};

constexpr GroupFormats kPositionFormats = {
    {"createNode animCurveTU -n \"%s_translateX\";\n", "createNode animCurveTU -n\"%s_translateY\";\n",
     "createNode animCurveTU-n\"%s_translateZ\";\n"},
    {"connectAttr \"%s_translateX.o\" \"%s.tx\";\n", "connectAttr \"%s_translateY.o\" \"%s.ty\";\n",
     "connectAttr \"%s_translateZ.o\" \"%s.tz\";\n\n"}};

constexpr GroupFormats kRotationFormats = {
    {"createNode animCurveTA -n \"%s_rotateX\";\n", "createNode animCurveTA -n \"%s_rotateY\";\n",
     "createNode animCurveTA -n \"%s_rotateZ\";\n"},
    {"connectAttr \"%s_rotateX.o\" \"%s.rx\";\n", "connectAttr \"%s_rotateY.o\" \"%s.ry\";\n",
     "connectAttr \"%s_rotateZ.o\" \"%s.rz\";\n\n"}};

constexpr GroupFormats kScaleFormats = {
    {"createNode animCurveTU -n \"%s_scaleX\";\n", "createNode animCurveTU -n \"%s_scaleY\";\n",
     "createNode animCurveTU -n\"%s_scaleZ\";\n"},
    {"connectAttr \"%s_scaleX.o\" \"%s.sx\";\n", "connectAttr \"%s_scaleY.o\" \"%s.sy\";\n",
     "connectAttr \"%s_scaleZ.o\" \"%s.sz\";\n\n"}};

/// The frame of a key time: the time divided by the ticks per frame,
/// truncated toward zero, in 64 bits and saturated to 32.
std::int32_t frame_of(std::int32_t time, std::int32_t ticks_per_frame) {
  const std::int64_t divisor = ticks_per_frame == 0 ? kDefaultTicksPerFrame : ticks_per_frame;
  const std::int64_t frame = std::int64_t{time} / divisor;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(frame, INT32_MIN, INT32_MAX));
}

enum class GroupKind { Position, Rotation, Scale };

/// What the TM_ANIMATION walk acts on.
constexpr KindSet kAnimationEntries = {TokenKind::NodeName, TokenKind::ControlPosBezier,
                                       TokenKind::ControlRotTcb, TokenKind::ControlScaleBezier,
                                       TokenKind::Rbrace};

/// Reads a key group, starting on its keyword and ending on its first "}"
/// (or the end). Every token but the key keyword is passed over.
std::vector<Key> read_group(Conversion& conversion, GroupKind group, TokenKind key_keyword) {
  Tokenizer& tokens = conversion.tokens;
  const std::int32_t ticks_per_frame = conversion.timing.ticks_per_frame;
  std::vector<Key> keys;
  const KindSet next_key = {key_keyword, TokenKind::Rbrace};
  while (inside_block(tokens)) {
    if (tokens.kind() != key_keyword) {
      tokens.next_token_until(next_key);
      continue;
    }
    // The time, three values and, for a rotation, the angle: at once when
    // they are numbers inside the block, else token by token.
    std::array<Tokenizer::Number, 5> numbers;
    const std::span<Tokenizer::Number> line(numbers.data(), group == GroupKind::Rotation ? 5 : 4);
    Key key{};
    float angle = 0.0F;
    if (tokens.next_numbers(line)) {
      key = Key{frame_of(integer_value(numbers[0]), ticks_per_frame),
                {real_value(numbers[1]), real_value(numbers[2]), real_value(numbers[3])}};
      angle = real_value(numbers[4]);
    } else {
      key = Key{frame_of(read_integer(tokens), ticks_per_frame), {}};
      key.values = read_triple(tokens);
      if (group == GroupKind::Rotation) {
        angle = read_real(tokens);
      }
    }
    if (group == GroupKind::Rotation) {
      // A rotation key turns on from the key before: its curves hold the
      // running sums of the Euler angles, each sum rounded to float. The
      // first key holds its own angles, the sign of a zero included.
      const EulerAngles turn = axis_angle_to_euler(key.values[0], key.values[1], key.values[2], angle);
      key.values = keys.empty() ? std::array{turn.x, turn.y, turn.z}
                                : std::array{keys.back().values[0] + turn.x, keys.back().values[1] + turn.y,
                                             keys.back().values[2] + turn.z};
    }
    keys.push_back(key);
    tokens.next_token_until(next_key);  // The rest of the line is passed over.
  }
  return keys;
}

void write_group(MaWriter& out, const QuotedName& name, const GroupFormats& formats,
                 const std::vector<Key>& keys) {
  const auto count = static_cast<std::int64_t>(keys.size());
  for (std::size_t axis = 0; axis < 3; ++axis) {
    out.print(formats.curves[axis], name);
    out.print<"\tsetAttr \".tan\" 9;\n\tsetAttr \".wgt\" no;">();
    out.print<"\tsetAttr -s %d \".ktv[0:%d]\"">(count, count - 1);
    for (const Key& key : keys) {
      out.print<" %d %f">(key.frame, key.values[axis]);
    }
    out.print<";\n\n">();
  }
  for (const auto& connection : formats.connections) {
    out.print(connection, name, name);
  }
}

}  // namespace

void convert_animation(Conversion& conversion) {
  Tokenizer& tokens = conversion.tokens;
  enter_block(tokens);
  // Groups before the block's NODE_NAME belong to the object being converted.
  std::string node_name = conversion.current_node_name.substr(0, kMaxNodeName);
  const auto convert_group = [&](std::string_view found, GroupKind group, TokenKind key_keyword,
                                 const GroupFormats& formats) {
    conversion.console.write_out(found);
    const std::vector<Key> keys = read_group(conversion, group, key_keyword);
    write_group(conversion.out, QuotedName{node_name}, formats, keys);
    conversion.report.animation_curves += 3;
    tokens.next_token();
  };
  while (inside_block(tokens)) {
    switch (tokens.kind()) {
      case TokenKind::NodeName:
        if (const auto name = read_node_name(tokens)) {
          node_name = name->substr(0, kMaxNodeName);
        }
        tokens.next_token();
        break;
      case TokenKind::ControlPosBezier:
        convert_group("Found Translation\n", GroupKind::Position, TokenKind::ControlBezierPosKey,
                      kPositionFormats);
        break;
      case TokenKind::ControlRotTcb:
        convert_group("Found Rotation\n", GroupKind::Rotation, TokenKind::ControlTcbRotKey, kRotationFormats);
        break;
      case TokenKind::ControlScaleBezier:
        convert_group("Found scale\n", GroupKind::Scale, TokenKind::ControlBezierScaleKey, kScaleFormats);
        break;
      default:
        tokens.next_token_until(kAnimationEntries);
        break;
    }
  }
}

}  // namespace kestrun::flat
