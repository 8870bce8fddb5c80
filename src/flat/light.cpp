#include "flat/light.h"

#include "flat/transform_object.h"
#include "flat/value_reader.h"

namespace kestrun::flat {
namespace {

void write_spot_light(MaWriter& out, const QuotedName& name) {
  out.print<"createNode spotLight -n \"%sShape1\" -p \"%s\";\n ">(name, name);
  out.print<"\tsetAttr -k off \".v\";\n">();
}

// A single value is written without advancing: the number is the next token
// the settings walk examines, and passes over.
bool write_light_setting(Conversion& conversion) {
  Tokenizer& tokens = conversion.tokens;
  MaWriter& out = conversion.out;
  switch (tokens.kind()) {
    case TokenKind::LightColor: {
      const auto [red, green, blue] = read_triple(tokens);
      tokens.next_token();
      out.print<"\tsetAttr \".cl\" -type \"float3\" %f %f %f ;\n">(red, green, blue);
      return true;
    }
    case TokenKind::LightIntens:
      out.print<"\tsetAttr \".in\" %f ;\n">(read_real(tokens));
      return true;
    case TokenKind::LightFalloff:
      out.print<"\tsetAttr \".dro\" %f ;\n\n">(read_real(tokens));
      return true;
    case TokenKind::LightHotspot:
      out.print<"\tsetAttr \".ca\" %f ;\n">(read_real(tokens));
      return true;
    default:
      return false;
  }
}

constexpr TransformObjectKind kLight = {TokenKind::LightSettings, true, write_spot_light, write_light_setting,
                                        "Entering light : %s\n"};

}  // namespace

void convert_light(Conversion& conversion) { convert_transform_object(conversion, kLight); }

}  // namespace kestrun::flat
