#include "ase/scene_walk.h"

#include "convert/animation.h"
#include "convert/block_reading.h"
#include "convert/camera.h"
#include "convert/light.h"
#include "convert/mesh_reader.h"

namespace kestrun {
namespace {

/// Acts on one token at the top level; every other token is passed over.
void dispatch_top_level(Conversion& conversion) {
  const RunOptions& options = conversion.options;
  switch (conversion.tokens.kind()) {
    case TokenKind::Scene:
      if (options.scene) {
        conversion.console.write_out("Found Scene info\n");
        read_scene(conversion);
      }
      break;
    case TokenKind::GeomObject:
      if (options.geometry) {
        convert_geomobject(conversion);
        conversion.console.print("Entering Object : %s\n", conversion.current_node_name);
        conversion.console.flush_out();
      }
      break;
    case TokenKind::LightObject:
      if (options.lights) {
        convert_light(conversion);
        conversion.console.flush_out();
      }
      break;
    case TokenKind::CameraObject:
      if (options.cameras) {
        convert_camera(conversion);
        conversion.console.flush_out();
      }
      break;
    default:
      break;
  }
}

}  // namespace

void convert_objects(Conversion& conversion) {
  Tokenizer& tokens = conversion.tokens;
  conversion.console.flush_out();
  // The token after the version number is acted on like every later one, so
  // a file whose first block follows the version directly keeps that block.
  for (;;) {
    dispatch_top_level(conversion);
    if (tokens.at_end()) {
      break;
    }
    conversion.console.flush_out();
    tokens.next_token();
  }
  conversion.console.flush_out();
}

void convert_geomobject(Conversion& conversion) {
  Tokenizer& tokens = conversion.tokens;
  enter_block(conversion);
  while (tokens.kind() != TokenKind::Rbrace) {
    switch (tokens.kind()) {
      case TokenKind::NodeName:
        tokens.next_token();
        if (tokens.kind() == TokenKind::String) {
          create_mesh_node(conversion);
        }
        tokens.next_token();
        break;
      case TokenKind::Mesh:
        read_mesh(conversion);
        tokens.next_token();
        break;
      case TokenKind::NodeTm:
        skip_to_first_closing_brace(tokens);
        break;
      case TokenKind::TmAnimation:
        if (conversion.options.animation) {
          conversion.console.write_out("Entering animation node\n");
          convert_animation(conversion);
          tokens.next_token();
        } else {
          skip_to_first_closing_brace(tokens);
        }
        break;
      default:
        tokens.next_token();
        break;
    }
    if (tokens.at_end()) {
      break;
    }
  }
  conversion.console.flush_out();
}

}  // namespace kestrun
