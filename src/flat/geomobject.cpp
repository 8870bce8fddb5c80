#include "flat/geomobject.h"

#include "flat/animation.h"
#include "flat/block_walk.h"
#include "flat/flat_mesh_reader.h"

namespace kestrun::flat {
namespace {

/// What the GEOMOBJECT walk acts on.
constexpr KindSet kObjectEntries = {TokenKind::NodeName, TokenKind::Mesh, TokenKind::NodeTm,
                                    TokenKind::TmAnimation, TokenKind::Rbrace};

/// Makes `name` the current node name, writes the transform and its mesh
/// shape, and enters the name in the mesh list.
void create_mesh_node(Conversion& conversion, std::string_view name) {
  conversion.current_node_name = name;
  const QuotedName quoted{name};
  conversion.out.print<" createNode transform -n \"%s\";\n createNode mesh -n \"%sShape1\" -p \"%s\";\n">(
      quoted, quoted, quoted);
  conversion.scene.meshes.append(name);
  ++conversion.report.meshes;
}

}  // namespace

void convert_geomobject(Conversion& conversion) {
  Tokenizer& tokens = conversion.tokens;
  enter_block(tokens);
  while (tokens.kind() != TokenKind::Rbrace) {
    switch (tokens.kind()) {
      case TokenKind::NodeName:
        if (const auto name = read_node_name(tokens)) {
          create_mesh_node(conversion, *name);
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
        tokens.next_token_until(kObjectEntries);
        break;
    }
    if (tokens.at_end()) {
      break;
    }
  }
}

}  // namespace kestrun::flat
