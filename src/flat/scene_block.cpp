#include "flat/scene_block.h"

#include "flat/block_walk.h"
#include "flat/value_reader.h"

namespace kestrun::flat {
namespace {

/// What the SCENE walk acts on.
constexpr KindSet kSceneEntries = {TokenKind::SceneTicksPerFrame, TokenKind::SceneFirstFrame,
                                   TokenKind::SceneLastFrame, TokenKind::SceneFrameSpeed, TokenKind::Rbrace};

/// The field a SCENE keyword sets, or null for every other token.
std::int32_t* field_for(SceneTiming& timing, TokenKind kind) {
  switch (kind) {
    case TokenKind::SceneTicksPerFrame:
      return &timing.ticks_per_frame;
    case TokenKind::SceneFirstFrame:
      return &timing.first_frame;
    case TokenKind::SceneLastFrame:
      return &timing.last_frame;
    case TokenKind::SceneFrameSpeed:
      return &timing.frame_speed;
    default:
      return nullptr;
  }
}

}  // namespace

void read_scene(Conversion& conversion) {
  Tokenizer& tokens = conversion.tokens;
  enter_block(tokens);
  while (inside_block(tokens)) {
    if (std::int32_t* field = field_for(conversion.timing, tokens.kind())) {
      *field = read_integer(tokens);
    }
    tokens.next_token_until(kSceneEntries);
  }
}

}  // namespace kestrun::flat
