// Token and TokenKind: what the tokenizer hands to the readers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestrun {

/// The kind of a token. Keywords are numbered 1 to 43 in keyword-table order;
/// the numbers are kept as the file format's readers know them.
enum class TokenKind : std::int32_t {
  Unknown = 0,
  AsciiExport = 1,
  Comment = 2,
  GeomObject = 3,
  NodeName = 4,
  Mesh = 5,
  MeshNumVertex = 6,
  MeshNumFaces = 7,
  MeshVertexList = 8,
  MeshVertex = 9,
  MeshFaceList = 10,
  MeshFace = 11,
  MeshSmoothing = 12,
  MeshMtlId = 13,
  NodeTm = 14,
  MeshNormals = 15,
  LightObject = 16,
  CameraObject = 17,
  TmPos = 18,
  TmScale = 19,
  LightSettings = 20,
  LightColor = 21,
  LightIntens = 22,
  LightFalloff = 23,
  LightHotspot = 24,
  CameraSettings = 25,
  CameraNear = 26,
  CameraFar = 27,
  CameraFov = 28,
  CameraTdist = 29,
  TmAnimation = 30,
  ControlPosBezier = 31,
  ControlBezierPosKey = 32,
  SceneTicksPerFrame = 33,
  Scene = 34,
  SceneFirstFrame = 35,
  SceneLastFrame = 36,
  SceneFrameSpeed = 37,
  ControlScaleBezier = 38,
  ControlBezierScaleKey = 39,
  ControlRotTcb = 40,
  ControlTcbRotKey = 41,
  TmRotAxis = 42,
  TmRotAngle = 43,
  Star = 44,  // Character-table entry of '*'; never produced (a '*' starts a keyword).
  Lbrace = 45,
  Rbrace = 46,
  Colon = 47,
  Quote = 48,  // Character-table entry of '"'; never produced (a '"' starts a string).
  Dot = 49,
  Real = 50,
  Integer = 51,
  String = 52,
  End = 53,
};

/// The one current token of a run. Only `kind` changes with every token; each
/// other field keeps its value until a token of its own sort replaces it (an
/// integer token leaves `real` as it was, and so on).
struct Token {
  static constexpr std::size_t kMaxText = 1024;
  static constexpr std::size_t kMaxKeyword = 128;

  TokenKind kind = TokenKind::Unknown;
  std::int32_t integer = 0;  // Value of the last integer token.
  double real = 0.0;         // Value of the last real token.

  /// Text of the last string token, without the quotes (at most 1024 characters).
  [[nodiscard]] std::string_view text() const { return {text_chars.data(), text_length}; }
  /// The word after the '*' of the last keyword token (at most 128 characters).
  [[nodiscard]] std::string_view keyword() const { return {keyword_chars.data(), keyword_length}; }

  std::array<char, kMaxText> text_chars{};
  std::size_t text_length = 0;
  std::array<char, kMaxKeyword> keyword_chars{};
  std::size_t keyword_length = 0;
};

}  // namespace kestrun
