// The keywords the converters know, and the kinds of single characters.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ase/token.h"

namespace kestrun {

struct KeywordEntry {
  std::string_view text;
  TokenKind kind;
};

/// The 43 keywords, in kind order (kind = index + 1).
inline constexpr std::array<KeywordEntry, 43> keyword_table = {{
    {"3DSMAX_ASCIIEXPORT", TokenKind::AsciiExport},
    {"COMMENT", TokenKind::Comment},
    {"GEOMOBJECT", TokenKind::GeomObject},
    {"NODE_NAME", TokenKind::NodeName},
    {"MESH", TokenKind::Mesh},
    {"MESH_NUMVERTEX", TokenKind::MeshNumVertex},
    {"MESH_NUMFACES", TokenKind::MeshNumFaces},
    {"MESH_VERTEX_LIST", TokenKind::MeshVertexList},
    {"MESH_VERTEX", TokenKind::MeshVertex},
    {"MESH_FACE_LIST", TokenKind::MeshFaceList},
    {"MESH_FACE", TokenKind::MeshFace},
    {"MESH_SMOOTHING", TokenKind::MeshSmoothing},
    {"MESH_MTLID", TokenKind::MeshMtlId},
    {"NODE_TM", TokenKind::NodeTm},
    {"MESH_NORMALS", TokenKind::MeshNormals},
    {"LIGHTOBJECT", TokenKind::LightObject},
    {"CAMERAOBJECT", TokenKind::CameraObject},
    {"TM_POS", TokenKind::TmPos},
    {"TM_SCALE", TokenKind::TmScale},
    {"LIGHT_SETTINGS", TokenKind::LightSettings},
    {"LIGHT_COLOR", TokenKind::LightColor},
    {"LIGHT_INTENS", TokenKind::LightIntens},
    {"LIGHT_FALLOFF", TokenKind::LightFalloff},
    {"LIGHT_HOTSPOT", TokenKind::LightHotspot},
    {"CAMERA_SETTINGS", TokenKind::CameraSettings},
    {"CAMERA_NEAR", TokenKind::CameraNear},
    {"CAMERA_FAR", TokenKind::CameraFar},
    {"CAMERA_FOV", TokenKind::CameraFov},
    {"CAMERA_TDIST", TokenKind::CameraTdist},
    {"TM_ANIMATION", TokenKind::TmAnimation},
    {"CONTROL_POS_BEZIER", TokenKind::ControlPosBezier},
    {"CONTROL_BEZIER_POS_KEY", TokenKind::ControlBezierPosKey},
    {"SCENE_TICKSPERFRAME", TokenKind::SceneTicksPerFrame},
    {"SCENE", TokenKind::Scene},
    {"SCENE_FIRSTFRAME", TokenKind::SceneFirstFrame},
    {"SCENE_LASTFRAME", TokenKind::SceneLastFrame},
    {"SCENE_FRAMESPEED", TokenKind::SceneFrameSpeed},
    {"CONTROL_SCALE_BEZIER", TokenKind::ControlScaleBezier},
    {"CONTROL_BEZIER_SCALE_KEY", TokenKind::ControlBezierScaleKey},
    {"CONTROL_ROT_TCB", TokenKind::ControlRotTcb},
    {"CONTROL_TCB_ROT_KEY", TokenKind::ControlTcbRotKey},
    {"TM_ROTAXIS", TokenKind::TmRotAxis},
    {"TM_ROTANGLE", TokenKind::TmRotAngle},
}};

/// Returns the kind of `word` by exact, case-sensitive match, or Unknown.
TokenKind find_keyword(std::string_view word) noexcept;

/// Room find_padded_keyword may read: no keyword is longer.
inline constexpr std::size_t kPaddedKeyword = 32;

/// Like find_keyword for the `length` bytes at `chars`, which must be
/// readable for kPaddedKeyword bytes whatever the length (the tokenizer's
/// keyword buffer is); the bytes after the word do not matter.
TokenKind find_padded_keyword(const char* chars, std::size_t length) noexcept;

using CharKindTable = std::array<TokenKind, 256>;

/// Fills the entries of the single characters that have a kind of their own:
/// { } * : " and the point. Every other byte stays Unknown.
constexpr void init_char_kinds(CharKindTable& table) {
  table.fill(TokenKind::Unknown);
  table['{'] = TokenKind::Lbrace;
  table['}'] = TokenKind::Rbrace;
  table['*'] = TokenKind::Star;
  table[':'] = TokenKind::Colon;
  table['"'] = TokenKind::Quote;
  table['.'] = TokenKind::Dot;
}

/// The kind of each byte value, filled once when the program is built.
inline constexpr CharKindTable char_kind_table = [] {
  CharKindTable table{};
  init_char_kinds(table);
  return table;
}();

}  // namespace kestrun
