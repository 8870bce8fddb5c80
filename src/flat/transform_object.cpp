#include "flat/transform_object.h"

#include <array>
#include <string>

#include "flat/block_walk.h"
#include "flat/rotation.h"
#include "flat/value_reader.h"

namespace kestrun::flat {
namespace {

/// The state of one object's walk.
struct ObjectState {
  std::string name;                                // Empty until a NODE_NAME is read.
  std::array<float, 3> axis = {0.0F, 0.0F, 0.0F};  // Set by TM_ROTAXIS.
};

/// True while an inner walk goes on: it ends on the first "}" after an
/// action, or as soon as the input is exhausted.
bool walk_goes_on(const Tokenizer& tokens) { return inside_block(tokens) && !tokens.at_end(); }

/// Walks a NODE_TM block: the transform node and its translation, rotation
/// and scale. Starts on the NODE_TM keyword, ends on the first "}".
void write_transform(Conversion& conversion, const TransformObjectKind& kind, ObjectState& state) {
  Tokenizer& tokens = conversion.tokens;
  MaWriter& out = conversion.out;
  do {
    switch (tokens.kind()) {
      case TokenKind::NodeName:
        if (const auto name = read_node_name(tokens)) {
          state.name = name->substr(0, kMaxNodeName);
        }
        out.print<"createNode transform -n \"%s\";\n">(QuotedName{state.name});
        if (kind.listed_as_light) {
          conversion.scene.lights.append(state.name);
        }
        tokens.next_token();
        break;
      case TokenKind::TmPos: {
        const auto position = read_triple(tokens);
        out.print<"\tsetAttr \".t\" -type \"double3\" %f %f %f ;\n">(position[0], position[1], position[2]);
        tokens.next_token();
        break;
      }
      case TokenKind::TmRotAxis:
        state.axis = read_triple(tokens);
        tokens.next_token();
        break;
      case TokenKind::TmRotAngle: {
        const float angle = read_real(tokens);
        const EulerAngles rotation = axis_angle_to_euler(state.axis[0], state.axis[1], state.axis[2], angle);
        out.print<"\tsetAttr \".r\" -type \"double3\" %f %f %f ;\n">(rotation.x, rotation.y, rotation.z);
        tokens.next_token();
        break;
      }
      case TokenKind::TmScale: {
        // One advance after the values: the token that follows them, often
        // the "}" of NODE_TM, is examined like any other.
        const auto scale = read_triple(tokens);
        tokens.next_token();
        out.print<"\tsetAttr \".s\" -type \"double3\" %f %f %f ;\n">(scale[0], scale[1], scale[2]);
        break;
      }
      default:
        tokens.next_token();
        break;
    }
  } while (walk_goes_on(tokens));
}

/// Writes the shape node, then walks on through the settings up to the first
/// "}" and steps past it.
void write_shape(Conversion& conversion, const TransformObjectKind& kind, const ObjectState& state) {
  Tokenizer& tokens = conversion.tokens;
  kind.write_shape(conversion.out, QuotedName{state.name});
  ++(kind.listed_as_light ? conversion.report.lights : conversion.report.cameras);
  do {
    if (!kind.write_setting(conversion)) {
      tokens.next_token();
    }
  } while (walk_goes_on(tokens));
  tokens.next_token();
}

}  // namespace

void convert_transform_object(Conversion& conversion, const TransformObjectKind& kind) {
  Tokenizer& tokens = conversion.tokens;
  enter_block(tokens);
  ObjectState state;
  while (tokens.kind() != TokenKind::Rbrace) {
    if (tokens.kind() == TokenKind::NodeTm) {
      write_transform(conversion, kind, state);
      write_shape(conversion, kind, state);
    } else if (tokens.kind() == kind.settings_block) {
      write_shape(conversion, kind, state);
    } else {
      tokens.next_token();
    }
    if (tokens.at_end()) {
      break;
    }
  }
  conversion.console.print(kind.progress, ShownName{state.name});
}

}  // namespace kestrun::flat
