// The keywords of the ASE format that either mode acts on: one list from
// which the default walk's token kinds and keyword table and the extended
// reader's keywords and spellings are all made, so no spelling is typed twice.
#pragma once

// KEYWORD(X, name, text, modes), where modes says which mode knows the keyword:
// Both, Flat (the default walk alone) or Extended (the extended reader alone).
// The default walk treats every keyword it does not know as an unknown word,
// and its token kinds are numbered in the order of its rows here (the numbers
// are part of its byte-exact behaviour): add its keywords at the end of its
// rows, never between them. X is the caller's macro, passed through.
#define KESTRUN_KEYWORDS(KEYWORD, X)                                      \
  KEYWORD(X, AsciiExport, "3DSMAX_ASCIIEXPORT", Both)                     \
  KEYWORD(X, Comment, "COMMENT", Flat)                                    \
  KEYWORD(X, GeomObject, "GEOMOBJECT", Both)                              \
  KEYWORD(X, NodeName, "NODE_NAME", Both)                                 \
  KEYWORD(X, Mesh, "MESH", Both)                                          \
  KEYWORD(X, MeshNumVertex, "MESH_NUMVERTEX", Both)                       \
  KEYWORD(X, MeshNumFaces, "MESH_NUMFACES", Both)                         \
  KEYWORD(X, MeshVertexList, "MESH_VERTEX_LIST", Both)                    \
  KEYWORD(X, MeshVertex, "MESH_VERTEX", Both)                             \
  KEYWORD(X, MeshFaceList, "MESH_FACE_LIST", Both)                        \
  KEYWORD(X, MeshFace, "MESH_FACE", Both)                                 \
  KEYWORD(X, MeshSmoothing, "MESH_SMOOTHING", Both)                       \
  KEYWORD(X, MeshMtlId, "MESH_MTLID", Both)                               \
  KEYWORD(X, NodeTm, "NODE_TM", Both)                                     \
  KEYWORD(X, MeshNormals, "MESH_NORMALS", Both)                           \
  KEYWORD(X, LightObject, "LIGHTOBJECT", Both)                            \
  KEYWORD(X, CameraObject, "CAMERAOBJECT", Both)                          \
  KEYWORD(X, TmPos, "TM_POS", Both)                                       \
  KEYWORD(X, TmScale, "TM_SCALE", Both)                                   \
  KEYWORD(X, LightSettings, "LIGHT_SETTINGS", Both)                       \
  KEYWORD(X, LightColor, "LIGHT_COLOR", Both)                             \
  KEYWORD(X, LightIntens, "LIGHT_INTENS", Both)                           \
  KEYWORD(X, LightFalloff, "LIGHT_FALLOFF", Both)                         \
  KEYWORD(X, LightHotspot, "LIGHT_HOTSPOT", Both)                         \
  KEYWORD(X, CameraSettings, "CAMERA_SETTINGS", Both)                     \
  KEYWORD(X, CameraNear, "CAMERA_NEAR", Flat)                             \
  KEYWORD(X, CameraFar, "CAMERA_FAR", Flat)                               \
  KEYWORD(X, CameraFov, "CAMERA_FOV", Both)                               \
  KEYWORD(X, CameraTdist, "CAMERA_TDIST", Both)                           \
  KEYWORD(X, TmAnimation, "TM_ANIMATION", Both)                           \
  KEYWORD(X, ControlPosBezier, "CONTROL_POS_BEZIER", Both)                \
  KEYWORD(X, ControlBezierPosKey, "CONTROL_BEZIER_POS_KEY", Both)         \
  KEYWORD(X, SceneTicksPerFrame, "SCENE_TICKSPERFRAME", Both)             \
  KEYWORD(X, Scene, "SCENE", Both)                                        \
  KEYWORD(X, SceneFirstFrame, "SCENE_FIRSTFRAME", Both)                   \
  KEYWORD(X, SceneLastFrame, "SCENE_LASTFRAME", Both)                     \
  KEYWORD(X, SceneFrameSpeed, "SCENE_FRAMESPEED", Both)                   \
  KEYWORD(X, ControlScaleBezier, "CONTROL_SCALE_BEZIER", Both)            \
  KEYWORD(X, ControlBezierScaleKey, "CONTROL_BEZIER_SCALE_KEY", Both)     \
  KEYWORD(X, ControlRotTcb, "CONTROL_ROT_TCB", Both)                      \
  KEYWORD(X, ControlTcbRotKey, "CONTROL_TCB_ROT_KEY", Both)               \
  KEYWORD(X, TmRotAxis, "TM_ROTAXIS", Both)                               \
  KEYWORD(X, TmRotAngle, "TM_ROTANGLE", Both)                             \
  KEYWORD(X, MaterialList, "MATERIAL_LIST", Extended)                     \
  KEYWORD(X, Material, "MATERIAL", Extended)                              \
  KEYWORD(X, Submaterial, "SUBMATERIAL", Extended)                        \
  KEYWORD(X, MaterialName, "MATERIAL_NAME", Extended)                     \
  KEYWORD(X, MaterialClass, "MATERIAL_CLASS", Extended)                   \
  KEYWORD(X, MaterialAmbient, "MATERIAL_AMBIENT", Extended)               \
  KEYWORD(X, MaterialDiffuse, "MATERIAL_DIFFUSE", Extended)               \
  KEYWORD(X, MaterialSpecular, "MATERIAL_SPECULAR", Extended)             \
  KEYWORD(X, MaterialShine, "MATERIAL_SHINE", Extended)                   \
  KEYWORD(X, MaterialShineStrength, "MATERIAL_SHINESTRENGTH", Extended)   \
  KEYWORD(X, MaterialTransparency, "MATERIAL_TRANSPARENCY", Extended)     \
  KEYWORD(X, MaterialShading, "MATERIAL_SHADING", Extended)               \
  KEYWORD(X, MaterialSelfIllum, "MATERIAL_SELFILLUM", Extended)           \
  KEYWORD(X, MaterialTwoSided, "MATERIAL_TWOSIDED", Extended)             \
  KEYWORD(X, MapGeneric, "MAP_GENERIC", Extended)                         \
  KEYWORD(X, MapAmbient, "MAP_AMBIENT", Extended)                         \
  KEYWORD(X, MapDiffuse, "MAP_DIFFUSE", Extended)                         \
  KEYWORD(X, MapSpecular, "MAP_SPECULAR", Extended)                       \
  KEYWORD(X, MapShine, "MAP_SHINE", Extended)                             \
  KEYWORD(X, MapShineStrength, "MAP_SHINESTRENGTH", Extended)             \
  KEYWORD(X, MapSelfIllum, "MAP_SELFILLUM", Extended)                     \
  KEYWORD(X, MapOpacity, "MAP_OPACITY", Extended)                         \
  KEYWORD(X, MapFilterColor, "MAP_FILTERCOLOR", Extended)                 \
  KEYWORD(X, MapBump, "MAP_BUMP", Extended)                               \
  KEYWORD(X, MapReflect, "MAP_REFLECT", Extended)                         \
  KEYWORD(X, MapRefract, "MAP_REFRACT", Extended)                         \
  KEYWORD(X, MapClass, "MAP_CLASS", Extended)                             \
  KEYWORD(X, MapAmount, "MAP_AMOUNT", Extended)                           \
  KEYWORD(X, Bitmap, "BITMAP", Extended)                                  \
  KEYWORD(X, BitmapInvert, "BITMAP_INVERT", Extended)                     \
  KEYWORD(X, UvwUOffset, "UVW_U_OFFSET", Extended)                        \
  KEYWORD(X, UvwVOffset, "UVW_V_OFFSET", Extended)                        \
  KEYWORD(X, UvwUTiling, "UVW_U_TILING", Extended)                        \
  KEYWORD(X, UvwVTiling, "UVW_V_TILING", Extended)                        \
  KEYWORD(X, UvwAngle, "UVW_ANGLE", Extended)                             \
  KEYWORD(X, HelperObject, "HELPEROBJECT", Extended)                      \
  KEYWORD(X, ShapeObject, "SHAPEOBJECT", Extended)                        \
  KEYWORD(X, Group, "GROUP", Extended)                                    \
  KEYWORD(X, NodeParent, "NODE_PARENT", Extended)                         \
  KEYWORD(X, TmRow0, "TM_ROW0", Extended)                                 \
  KEYWORD(X, TmRow1, "TM_ROW1", Extended)                                 \
  KEYWORD(X, TmRow2, "TM_ROW2", Extended)                                 \
  KEYWORD(X, TmRow3, "TM_ROW3", Extended)                                 \
  KEYWORD(X, TmScaleAxis, "TM_SCALEAXIS", Extended)                       \
  KEYWORD(X, TmScaleAxisAng, "TM_SCALEAXISANG", Extended)                 \
  KEYWORD(X, MaterialRef, "MATERIAL_REF", Extended)                       \
  KEYWORD(X, PropMotionBlur, "PROP_MOTIONBLUR", Extended)                 \
  KEYWORD(X, PropCastShadow, "PROP_CASTSHADOW", Extended)                 \
  KEYWORD(X, PropRecvShadow, "PROP_RECVSHADOW", Extended)                 \
  KEYWORD(X, ShapeLineCount, "SHAPE_LINECOUNT", Extended)                 \
  KEYWORD(X, ShapeLine, "SHAPE_LINE", Extended)                           \
  KEYWORD(X, ShapeClosed, "SHAPE_CLOSED", Extended)                       \
  KEYWORD(X, ShapeVertexCount, "SHAPE_VERTEXCOUNT", Extended)             \
  KEYWORD(X, ShapeVertexKnot, "SHAPE_VERTEX_KNOT", Extended)              \
  KEYWORD(X, ShapeVertexInterp, "SHAPE_VERTEX_INTERP", Extended)          \
  KEYWORD(X, TimeValue, "TIMEVALUE", Extended)                            \
  KEYWORD(X, MeshAnimation, "MESH_ANIMATION", Extended)                   \
  KEYWORD(X, MeshNumTVertex, "MESH_NUMTVERTEX", Extended)                 \
  KEYWORD(X, MeshTVertList, "MESH_TVERTLIST", Extended)                   \
  KEYWORD(X, MeshTVert, "MESH_TVERT", Extended)                           \
  KEYWORD(X, MeshNumTVFaces, "MESH_NUMTVFACES", Extended)                 \
  KEYWORD(X, MeshTFaceList, "MESH_TFACELIST", Extended)                   \
  KEYWORD(X, MeshTFace, "MESH_TFACE", Extended)                           \
  KEYWORD(X, MeshMappingChannel, "MESH_MAPPINGCHANNEL", Extended)         \
  KEYWORD(X, MeshNumCVertex, "MESH_NUMCVERTEX", Extended)                 \
  KEYWORD(X, MeshCVertList, "MESH_CVERTLIST", Extended)                   \
  KEYWORD(X, MeshVertCol, "MESH_VERTCOL", Extended)                       \
  KEYWORD(X, MeshNumCVFaces, "MESH_NUMCVFACES", Extended)                 \
  KEYWORD(X, MeshCFaceList, "MESH_CFACELIST", Extended)                   \
  KEYWORD(X, MeshCFace, "MESH_CFACE", Extended)                           \
  KEYWORD(X, MeshFaceNormal, "MESH_FACENORMAL", Extended)                 \
  KEYWORD(X, MeshVertexNormal, "MESH_VERTEXNORMAL", Extended)             \
  KEYWORD(X, LightType, "LIGHT_TYPE", Extended)                           \
  KEYWORD(X, LightShadows, "LIGHT_SHADOWS", Extended)                     \
  KEYWORD(X, CameraHither, "CAMERA_HITHER", Extended)                     \
  KEYWORD(X, CameraYon, "CAMERA_YON", Extended)                           \
  KEYWORD(X, CameraAnimation, "CAMERA_ANIMATION", Extended)               \
  KEYWORD(X, LightAnimation, "LIGHT_ANIMATION", Extended)                 \
  KEYWORD(X, NodeVisibilityTrack, "NODE_VISIBILITY_TRACK", Extended)      \
  KEYWORD(X, ControlFloatSample, "CONTROL_FLOAT_SAMPLE", Extended)        \
  KEYWORD(X, ControlFloatLinear, "CONTROL_FLOAT_LINEAR", Extended)        \
  KEYWORD(X, ControlFloatTcb, "CONTROL_FLOAT_TCB", Extended)              \
  KEYWORD(X, ControlFloatBezier, "CONTROL_FLOAT_BEZIER", Extended)        \
  KEYWORD(X, ControlFloatKey, "CONTROL_FLOAT_KEY", Extended)              \
  KEYWORD(X, ControlTcbFloatKey, "CONTROL_TCB_FLOAT_KEY", Extended)       \
  KEYWORD(X, ControlBezierFloatKey, "CONTROL_BEZIER_FLOAT_KEY", Extended) \
  KEYWORD(X, ControlPosTrack, "CONTROL_POS_TRACK", Extended)              \
  KEYWORD(X, ControlRotTrack, "CONTROL_ROT_TRACK", Extended)              \
  KEYWORD(X, ControlScaleTrack, "CONTROL_SCALE_TRACK", Extended)          \
  KEYWORD(X, ControlPosSample, "CONTROL_POS_SAMPLE", Extended)            \
  KEYWORD(X, ControlRotSample, "CONTROL_ROT_SAMPLE", Extended)            \
  KEYWORD(X, ControlScaleSample, "CONTROL_SCALE_SAMPLE", Extended)        \
  KEYWORD(X, ControlPosLinear, "CONTROL_POS_LINEAR", Extended)            \
  KEYWORD(X, ControlPosKey, "CONTROL_POS_KEY", Extended)                  \
  KEYWORD(X, ControlPosTcb, "CONTROL_POS_TCB", Extended)                  \
  KEYWORD(X, ControlTcbPosKey, "CONTROL_TCB_POS_KEY", Extended)           \
  KEYWORD(X, ControlRotLinear, "CONTROL_ROT_LINEAR", Extended)            \
  KEYWORD(X, ControlRotKey, "CONTROL_ROT_KEY", Extended)                  \
  KEYWORD(X, ControlRotBezier, "CONTROL_ROT_BEZIER", Extended)            \
  KEYWORD(X, ControlBezierRotKey, "CONTROL_BEZIER_ROT_KEY", Extended)     \
  KEYWORD(X, ControlScaleLinear, "CONTROL_SCALE_LINEAR", Extended)        \
  KEYWORD(X, ControlScaleKey, "CONTROL_SCALE_KEY", Extended)              \
  KEYWORD(X, ControlScaleTcb, "CONTROL_SCALE_TCB", Extended)              \
  KEYWORD(X, ControlTcbScaleKey, "CONTROL_TCB_SCALE_KEY", Extended)

// The rows each mode knows, as X(name, text), in list order.
#define KESTRUN_FLAT_KEYWORDS(X) KESTRUN_KEYWORDS(KESTRUN_KEYWORD_IF_FLAT, X)
#define KESTRUN_EXTENDED_KEYWORDS(X) KESTRUN_KEYWORDS(KESTRUN_KEYWORD_IF_EXTENDED, X)

#define KESTRUN_KEYWORD_IF_FLAT(X, name, text, modes) KESTRUN_KEYWORD_FLAT_##modes(X, name, text)
#define KESTRUN_KEYWORD_FLAT_Both(X, name, text) X(name, text)
#define KESTRUN_KEYWORD_FLAT_Flat(X, name, text) X(name, text)
#define KESTRUN_KEYWORD_FLAT_Extended(X, name, text)

#define KESTRUN_KEYWORD_IF_EXTENDED(X, name, text, modes) KESTRUN_KEYWORD_EXTENDED_##modes(X, name, text)
#define KESTRUN_KEYWORD_EXTENDED_Both(X, name, text) X(name, text)
#define KESTRUN_KEYWORD_EXTENDED_Flat(X, name, text)
#define KESTRUN_KEYWORD_EXTENDED_Extended(X, name, text) X(name, text)
