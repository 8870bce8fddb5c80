#include "flat/scene_walk.h"

#include "flat/camera.h"
#include "flat/conversion.h"
#include "flat/geomobject.h"
#include "flat/light.h"
#include "flat/scene_block.h"

namespace kestrun::flat {
namespace {

/// The blocks the walk converts at the top level.
constexpr KindSet kTopLevelBlocks = {TokenKind::Scene, TokenKind::GeomObject, TokenKind::LightObject,
                                     TokenKind::CameraObject};

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
        ++conversion.report.objects;
        convert_geomobject(conversion);
        conversion.console.print("Entering Object : %s\n", ShownName{conversion.current_node_name});
      }
      break;
    case TokenKind::LightObject:
      if (options.lights) {
        ++conversion.report.objects;
        convert_light(conversion);
      }
      break;
    case TokenKind::CameraObject:
      if (options.cameras) {
        ++conversion.report.objects;
        convert_camera(conversion);
      }
      break;
    default:
      break;
  }
}

}  // namespace

SceneSummary walk_scene(Tokenizer& tokens, MaWriter& out, Console& console, const RunOptions& options,
                        ConversionReport& report) {
  Conversion conversion{tokens, out, console, options, report, {}, {}, {}, {}};
  // The token after the version number is acted on like every later one, so
  // a file whose first block follows the version directly keeps that block.
  for (;;) {
    dispatch_top_level(conversion);
    if (tokens.at_end()) {
      break;
    }
    // Only the blocks above start a conversion: the rest is passed over.
    tokens.next_token_until(kTopLevelBlocks);
  }
  conversion.scene.first_frame = conversion.timing.first_frame;
  conversion.scene.last_frame = conversion.timing.last_frame;
  return std::move(conversion.scene);
}

}  // namespace kestrun::flat
