#include "flat/camera.h"

#include "flat/transform_object.h"
#include "flat/value_reader.h"

namespace kestrun::flat {
namespace {

void write_camera_shape(MaWriter& out, const QuotedName& name) {
  out.print<"createNode camera -n \"%sShape1\" -p \"%s\";\n ">(name, name);
  out.print<"\tsetAttr -k off \".v\";\n">();
  out.print<"\tsetAttr \".fcp\"  100000.000;\n">();  // Every camera gets this far plane first.
}

// Each value is written without advancing: the number is the next token the
// settings walk examines, and passes over.
bool write_camera_setting(Conversion& conversion) {
  Tokenizer& tokens = conversion.tokens;
  MaWriter& out = conversion.out;
  switch (tokens.kind()) {
    case TokenKind::CameraNear:
      out.print<"\tsetAttr \".ncp\" %f ;\n">(read_real(tokens));
      return true;
    case TokenKind::CameraFar:
      out.print<"\tsetAttr \".fcp\" %f ;\n">(read_real(tokens));
      return true;
    case TokenKind::CameraTdist:
      // The focal length is a quarter of the target distance (exact in float).
      out.print<"\tsetAttr \".fl\" %f ;\n">(read_real(tokens) * 0.25F);
      return true;
    default:
      return false;  // CAMERA_FOV among them: the field of view is not used.
  }
}

constexpr TransformObjectKind kCamera = {TokenKind::CameraSettings, false, write_camera_shape,
                                         write_camera_setting, "Entering camera : %s\n"};

}  // namespace

void convert_camera(Conversion& conversion) { convert_transform_object(conversion, kCamera); }

}  // namespace kestrun::flat
