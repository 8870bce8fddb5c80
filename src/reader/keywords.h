// The keywords the structured reader acts on, and their look-up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestrun::reader {

// KEYWORD(name, text), in no particular order.
#define KESTRUN_READER_KEYWORDS(KEYWORD)                     \
  KEYWORD(AsciiExport, "3DSMAX_ASCIIEXPORT")                 \
  KEYWORD(Scene, "SCENE")                                    \
  KEYWORD(SceneFirstFrame, "SCENE_FIRSTFRAME")               \
  KEYWORD(SceneLastFrame, "SCENE_LASTFRAME")                 \
  KEYWORD(SceneFrameSpeed, "SCENE_FRAMESPEED")               \
  KEYWORD(SceneTicksPerFrame, "SCENE_TICKSPERFRAME")         \
  KEYWORD(MaterialList, "MATERIAL_LIST")                     \
  KEYWORD(Material, "MATERIAL")                              \
  KEYWORD(Submaterial, "SUBMATERIAL")                        \
  KEYWORD(MaterialName, "MATERIAL_NAME")                     \
  KEYWORD(MaterialClass, "MATERIAL_CLASS")                   \
  KEYWORD(MaterialAmbient, "MATERIAL_AMBIENT")               \
  KEYWORD(MaterialDiffuse, "MATERIAL_DIFFUSE")               \
  KEYWORD(MaterialSpecular, "MATERIAL_SPECULAR")             \
  KEYWORD(MaterialShine, "MATERIAL_SHINE")                   \
  KEYWORD(MaterialShineStrength, "MATERIAL_SHINESTRENGTH")   \
  KEYWORD(MaterialTransparency, "MATERIAL_TRANSPARENCY")     \
  KEYWORD(MaterialShading, "MATERIAL_SHADING")               \
  KEYWORD(MaterialSelfIllum, "MATERIAL_SELFILLUM")           \
  KEYWORD(MaterialTwoSided, "MATERIAL_TWOSIDED")             \
  KEYWORD(MapGeneric, "MAP_GENERIC")                         \
  KEYWORD(MapAmbient, "MAP_AMBIENT")                         \
  KEYWORD(MapDiffuse, "MAP_DIFFUSE")                         \
  KEYWORD(MapSpecular, "MAP_SPECULAR")                       \
  KEYWORD(MapShine, "MAP_SHINE")                             \
  KEYWORD(MapShineStrength, "MAP_SHINESTRENGTH")             \
  KEYWORD(MapSelfIllum, "MAP_SELFILLUM")                     \
  KEYWORD(MapOpacity, "MAP_OPACITY")                         \
  KEYWORD(MapFilterColor, "MAP_FILTERCOLOR")                 \
  KEYWORD(MapBump, "MAP_BUMP")                               \
  KEYWORD(MapReflect, "MAP_REFLECT")                         \
  KEYWORD(MapRefract, "MAP_REFRACT")                         \
  KEYWORD(MapClass, "MAP_CLASS")                             \
  KEYWORD(MapAmount, "MAP_AMOUNT")                           \
  KEYWORD(Bitmap, "BITMAP")                                  \
  KEYWORD(BitmapInvert, "BITMAP_INVERT")                     \
  KEYWORD(UvwUOffset, "UVW_U_OFFSET")                        \
  KEYWORD(UvwVOffset, "UVW_V_OFFSET")                        \
  KEYWORD(UvwUTiling, "UVW_U_TILING")                        \
  KEYWORD(UvwVTiling, "UVW_V_TILING")                        \
  KEYWORD(UvwAngle, "UVW_ANGLE")                             \
  KEYWORD(GeomObject, "GEOMOBJECT")                          \
  KEYWORD(HelperObject, "HELPEROBJECT")                      \
  KEYWORD(ShapeObject, "SHAPEOBJECT")                        \
  KEYWORD(LightObject, "LIGHTOBJECT")                        \
  KEYWORD(CameraObject, "CAMERAOBJECT")                      \
  KEYWORD(Group, "GROUP")                                    \
  KEYWORD(NodeName, "NODE_NAME")                             \
  KEYWORD(NodeParent, "NODE_PARENT")                         \
  KEYWORD(NodeTm, "NODE_TM")                                 \
  KEYWORD(TmRow0, "TM_ROW0")                                 \
  KEYWORD(TmRow1, "TM_ROW1")                                 \
  KEYWORD(TmRow2, "TM_ROW2")                                 \
  KEYWORD(TmRow3, "TM_ROW3")                                 \
  KEYWORD(TmPos, "TM_POS")                                   \
  KEYWORD(TmRotAxis, "TM_ROTAXIS")                           \
  KEYWORD(TmRotAngle, "TM_ROTANGLE")                         \
  KEYWORD(TmScale, "TM_SCALE")                               \
  KEYWORD(TmScaleAxis, "TM_SCALEAXIS")                       \
  KEYWORD(TmScaleAxisAng, "TM_SCALEAXISANG")                 \
  KEYWORD(MaterialRef, "MATERIAL_REF")                       \
  KEYWORD(PropMotionBlur, "PROP_MOTIONBLUR")                 \
  KEYWORD(PropCastShadow, "PROP_CASTSHADOW")                 \
  KEYWORD(PropRecvShadow, "PROP_RECVSHADOW")                 \
  KEYWORD(ShapeLineCount, "SHAPE_LINECOUNT")                 \
  KEYWORD(ShapeLine, "SHAPE_LINE")                           \
  KEYWORD(ShapeClosed, "SHAPE_CLOSED")                       \
  KEYWORD(ShapeVertexCount, "SHAPE_VERTEXCOUNT")             \
  KEYWORD(ShapeVertexKnot, "SHAPE_VERTEX_KNOT")              \
  KEYWORD(ShapeVertexInterp, "SHAPE_VERTEX_INTERP")          \
  KEYWORD(TimeValue, "TIMEVALUE")                            \
  KEYWORD(MeshAnimation, "MESH_ANIMATION")                   \
  KEYWORD(Mesh, "MESH")                                      \
  KEYWORD(MeshNumVertex, "MESH_NUMVERTEX")                   \
  KEYWORD(MeshNumFaces, "MESH_NUMFACES")                     \
  KEYWORD(MeshVertexList, "MESH_VERTEX_LIST")                \
  KEYWORD(MeshVertex, "MESH_VERTEX")                         \
  KEYWORD(MeshFaceList, "MESH_FACE_LIST")                    \
  KEYWORD(MeshFace, "MESH_FACE")                             \
  KEYWORD(MeshSmoothing, "MESH_SMOOTHING")                   \
  KEYWORD(MeshMtlId, "MESH_MTLID")                           \
  KEYWORD(MeshNumTVertex, "MESH_NUMTVERTEX")                 \
  KEYWORD(MeshTVertList, "MESH_TVERTLIST")                   \
  KEYWORD(MeshTVert, "MESH_TVERT")                           \
  KEYWORD(MeshNumTVFaces, "MESH_NUMTVFACES")                 \
  KEYWORD(MeshTFaceList, "MESH_TFACELIST")                   \
  KEYWORD(MeshTFace, "MESH_TFACE")                           \
  KEYWORD(MeshMappingChannel, "MESH_MAPPINGCHANNEL")         \
  KEYWORD(MeshNumCVertex, "MESH_NUMCVERTEX")                 \
  KEYWORD(MeshCVertList, "MESH_CVERTLIST")                   \
  KEYWORD(MeshVertCol, "MESH_VERTCOL")                       \
  KEYWORD(MeshNumCVFaces, "MESH_NUMCVFACES")                 \
  KEYWORD(MeshCFaceList, "MESH_CFACELIST")                   \
  KEYWORD(MeshCFace, "MESH_CFACE")                           \
  KEYWORD(MeshNormals, "MESH_NORMALS")                       \
  KEYWORD(MeshFaceNormal, "MESH_FACENORMAL")                 \
  KEYWORD(MeshVertexNormal, "MESH_VERTEXNORMAL")             \
  KEYWORD(LightType, "LIGHT_TYPE")                           \
  KEYWORD(LightShadows, "LIGHT_SHADOWS")                     \
  KEYWORD(LightSettings, "LIGHT_SETTINGS")                   \
  KEYWORD(LightColor, "LIGHT_COLOR")                         \
  KEYWORD(LightIntens, "LIGHT_INTENS")                       \
  KEYWORD(LightHotspot, "LIGHT_HOTSPOT")                     \
  KEYWORD(LightFalloff, "LIGHT_FALLOFF")                     \
  KEYWORD(CameraSettings, "CAMERA_SETTINGS")                 \
  KEYWORD(CameraHither, "CAMERA_HITHER")                     \
  KEYWORD(CameraYon, "CAMERA_YON")                           \
  KEYWORD(CameraFov, "CAMERA_FOV")                           \
  KEYWORD(CameraTdist, "CAMERA_TDIST")                       \
  KEYWORD(CameraAnimation, "CAMERA_ANIMATION")               \
  KEYWORD(LightAnimation, "LIGHT_ANIMATION")                 \
  KEYWORD(NodeVisibilityTrack, "NODE_VISIBILITY_TRACK")      \
  KEYWORD(ControlFloatSample, "CONTROL_FLOAT_SAMPLE")        \
  KEYWORD(ControlFloatLinear, "CONTROL_FLOAT_LINEAR")        \
  KEYWORD(ControlFloatTcb, "CONTROL_FLOAT_TCB")              \
  KEYWORD(ControlFloatBezier, "CONTROL_FLOAT_BEZIER")        \
  KEYWORD(ControlFloatKey, "CONTROL_FLOAT_KEY")              \
  KEYWORD(ControlTcbFloatKey, "CONTROL_TCB_FLOAT_KEY")       \
  KEYWORD(ControlBezierFloatKey, "CONTROL_BEZIER_FLOAT_KEY") \
  KEYWORD(TmAnimation, "TM_ANIMATION")                       \
  KEYWORD(ControlPosTrack, "CONTROL_POS_TRACK")              \
  KEYWORD(ControlRotTrack, "CONTROL_ROT_TRACK")              \
  KEYWORD(ControlScaleTrack, "CONTROL_SCALE_TRACK")          \
  KEYWORD(ControlPosSample, "CONTROL_POS_SAMPLE")            \
  KEYWORD(ControlRotSample, "CONTROL_ROT_SAMPLE")            \
  KEYWORD(ControlScaleSample, "CONTROL_SCALE_SAMPLE")        \
  KEYWORD(ControlPosLinear, "CONTROL_POS_LINEAR")            \
  KEYWORD(ControlPosKey, "CONTROL_POS_KEY")                  \
  KEYWORD(ControlPosTcb, "CONTROL_POS_TCB")                  \
  KEYWORD(ControlTcbPosKey, "CONTROL_TCB_POS_KEY")           \
  KEYWORD(ControlPosBezier, "CONTROL_POS_BEZIER")            \
  KEYWORD(ControlBezierPosKey, "CONTROL_BEZIER_POS_KEY")     \
  KEYWORD(ControlRotLinear, "CONTROL_ROT_LINEAR")            \
  KEYWORD(ControlRotKey, "CONTROL_ROT_KEY")                  \
  KEYWORD(ControlRotTcb, "CONTROL_ROT_TCB")                  \
  KEYWORD(ControlTcbRotKey, "CONTROL_TCB_ROT_KEY")           \
  KEYWORD(ControlRotBezier, "CONTROL_ROT_BEZIER")            \
  KEYWORD(ControlBezierRotKey, "CONTROL_BEZIER_ROT_KEY")     \
  KEYWORD(ControlScaleLinear, "CONTROL_SCALE_LINEAR")        \
  KEYWORD(ControlScaleKey, "CONTROL_SCALE_KEY")              \
  KEYWORD(ControlScaleTcb, "CONTROL_SCALE_TCB")              \
  KEYWORD(ControlTcbScaleKey, "CONTROL_TCB_SCALE_KEY")       \
  KEYWORD(ControlScaleBezier, "CONTROL_SCALE_BEZIER")        \
  KEYWORD(ControlBezierScaleKey, "CONTROL_BEZIER_SCALE_KEY")

enum class Keyword : std::uint8_t {
  Unknown,
#define KESTRUN_KEYWORD_NAME(name, text) name,
  KESTRUN_READER_KEYWORDS(KESTRUN_KEYWORD_NAME)
#undef KESTRUN_KEYWORD_NAME
};

/// A keyword's name as its length and its first and last eight bytes (which
/// overlap in names of 9 to 15 bytes), little-endian and zero-padded: `tail`
/// is `head` again for names of eight bytes or fewer. Two loads, no loop, and
/// for names of up to sixteen bytes the key is the whole name.
struct KeywordKey {
  std::uint64_t head = 0;
  std::uint64_t tail = 0;
  std::size_t length = 0;

  friend constexpr bool operator==(const KeywordKey&, const KeywordKey&) = default;
};

/// The key of `text`, read a byte at a time.
constexpr KeywordKey keyword_key(std::string_view text) {
  KeywordKey key{0, 0, text.size()};
  for (std::size_t i = 0; i < text.size() && i < 8; ++i) {
    key.head |= std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
  }
  if (text.size() <= 8) {
    key.tail = key.head;
    return key;
  }
  for (std::size_t i = 0; i < 8; ++i) {
    key.tail |= std::uint64_t{static_cast<unsigned char>(text[text.size() - 8 + i])} << (8 * i);
  }
  return key;
}

constexpr std::uint64_t keyword_hash(const KeywordKey& key) {
  return (key.head * 0x9E3779B97F4A7C15ULL) ^ ((key.tail + key.length) * 0xC2B2AE3D27D4EB4FULL);
}

/// The keyword spelt `text`, whose key is `key`, or Unknown.
Keyword find_keyword(std::string_view text, const KeywordKey& key) noexcept;

}  // namespace kestrun::reader
