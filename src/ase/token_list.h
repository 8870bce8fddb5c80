// The keywords the readers act on: one list from which both the token kinds
// and the keyword table are made, so the two cannot drift apart.
#pragma once

// KEYWORD(kind name, keyword text), in the order of their kind numbers.
#define KESTRUN_ASE_KEYWORDS(KEYWORD)                        \
  KEYWORD(AsciiExport, "3DSMAX_ASCIIEXPORT")                 \
  KEYWORD(Comment, "COMMENT")                                \
  KEYWORD(GeomObject, "GEOMOBJECT")                          \
  KEYWORD(NodeName, "NODE_NAME")                             \
  KEYWORD(Mesh, "MESH")                                      \
  KEYWORD(MeshNumVertex, "MESH_NUMVERTEX")                   \
  KEYWORD(MeshNumFaces, "MESH_NUMFACES")                     \
  KEYWORD(MeshVertexList, "MESH_VERTEX_LIST")                \
  KEYWORD(MeshVertex, "MESH_VERTEX")                         \
  KEYWORD(MeshFaceList, "MESH_FACE_LIST")                    \
  KEYWORD(MeshFace, "MESH_FACE")                             \
  KEYWORD(MeshSmoothing, "MESH_SMOOTHING")                   \
  KEYWORD(MeshMtlId, "MESH_MTLID")                           \
  KEYWORD(NodeTm, "NODE_TM")                                 \
  KEYWORD(MeshNormals, "MESH_NORMALS")                       \
  KEYWORD(LightObject, "LIGHTOBJECT")                        \
  KEYWORD(CameraObject, "CAMERAOBJECT")                      \
  KEYWORD(TmPos, "TM_POS")                                   \
  KEYWORD(TmScale, "TM_SCALE")                               \
  KEYWORD(LightSettings, "LIGHT_SETTINGS")                   \
  KEYWORD(LightColor, "LIGHT_COLOR")                         \
  KEYWORD(LightIntens, "LIGHT_INTENS")                       \
  KEYWORD(LightFalloff, "LIGHT_FALLOFF")                     \
  KEYWORD(LightHotspot, "LIGHT_HOTSPOT")                     \
  KEYWORD(CameraSettings, "CAMERA_SETTINGS")                 \
  KEYWORD(CameraNear, "CAMERA_NEAR")                         \
  KEYWORD(CameraFar, "CAMERA_FAR")                           \
  KEYWORD(CameraFov, "CAMERA_FOV")                           \
  KEYWORD(CameraTdist, "CAMERA_TDIST")                       \
  KEYWORD(TmAnimation, "TM_ANIMATION")                       \
  KEYWORD(ControlPosBezier, "CONTROL_POS_BEZIER")            \
  KEYWORD(ControlBezierPosKey, "CONTROL_BEZIER_POS_KEY")     \
  KEYWORD(SceneTicksPerFrame, "SCENE_TICKSPERFRAME")         \
  KEYWORD(Scene, "SCENE")                                    \
  KEYWORD(SceneFirstFrame, "SCENE_FIRSTFRAME")               \
  KEYWORD(SceneLastFrame, "SCENE_LASTFRAME")                 \
  KEYWORD(SceneFrameSpeed, "SCENE_FRAMESPEED")               \
  KEYWORD(ControlScaleBezier, "CONTROL_SCALE_BEZIER")        \
  KEYWORD(ControlBezierScaleKey, "CONTROL_BEZIER_SCALE_KEY") \
  KEYWORD(ControlRotTcb, "CONTROL_ROT_TCB")                  \
  KEYWORD(ControlTcbRotKey, "CONTROL_TCB_ROT_KEY")           \
  KEYWORD(TmRotAxis, "TM_ROTAXIS")                           \
  KEYWORD(TmRotAngle, "TM_ROTANGLE")

// PUNCTUATION(kind name, character): the single characters with a kind.
#define KESTRUN_ASE_PUNCTUATION(PUNCTUATION) \
  PUNCTUATION(Lbrace, '{')                   \
  PUNCTUATION(Rbrace, '}')                   \
  PUNCTUATION(Colon, ':')                    \
  PUNCTUATION(Dot, '.')
