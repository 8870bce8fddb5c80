#include "convert/light.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace kestrun {
namespace {

using testing::ase_file;
using testing::body_of;
using testing::convert_text;

constexpr std::string_view kNodeTm =
    "\t*NODE_TM {\n\t\t*NODE_NAME \"FDirect01\"\n\t\t*INHERIT_POS 0 0 0\n"
    "\t\t*TM_ROW0 1.0000\t0.0000\t0.0000\n\t\t*TM_POS 83.8439\t1.3881\t51.1261\n"
    "\t\t*TM_ROTAXIS -1.0000\t-0.0000\t-0.0000\n\t\t*TM_ROTANGLE 1.0147\n"
    "\t\t*TM_SCALE 1.0000\t1.0000\t1.0000\n\t\t*TM_SCALEAXIS 0.0000\t0.0000\t0.0000\n"
    "\t\t*TM_SCALEAXISANG 0.0000\n\t}\n";

constexpr std::string_view kSettings =
    "\t*LIGHT_SETTINGS {\n\t\t*TIMEVALUE 0\n\t\t*LIGHT_COLOR 1.0000\t0.5000\t0.2500\n\t\t*LIGHT_INTENS "
    "1.0000\n"
    "\t\t*LIGHT_ASPECT 1.0000\n\t\t*LIGHT_HOTSPOT 43.0000\n\t\t*LIGHT_FALLOFF 45.0000\n\t\t*LIGHT_TDIST "
    "240.0000\n\t}\n";

constexpr std::string_view kTransformLines =
    "createNode transform -n \"FDirect01\";\n"
    "\tsetAttr \".t\" -type \"double3\" 83.843903 1.388100 51.126099 ;\n"
    "\tsetAttr \".r\" -type \"double3\" 58.138031 -0.000000 0.000000 ;\n"
    "\tsetAttr \".s\" -type \"double3\" 1.000000 1.000000 1.000000 ;\n";

constexpr std::string_view kShapeLines =
    "createNode spotLight -n \"FDirect01Shape1\" -p \"FDirect01\";\n"
    " \tsetAttr -k off \".v\";\n";

constexpr std::string_view kSettingLines =
    "\tsetAttr \".cl\" -type \"float3\" 1.000000 0.500000 0.250000 ;\n"
    "\tsetAttr \".in\" 1.000000 ;\n"
    "\tsetAttr \".ca\" 43.000000 ;\n"
    "\tsetAttr \".dro\" 45.000000 ;\n\n";

RunOptions lights_only() {
  RunOptions options;
  options.lights = true;
  return options;
}

std::string light_block(std::string_view contents) {
  std::string block = "*LIGHTOBJECT {\n\t*NODE_NAME \"FDirect01\"\n\t*LIGHT_TYPE Directional\n";
  return block.append(contents).append("}\n");
}

TEST(ConvertLight, WritesTransformShapeAndSettingsAndIsConnected) {
  const auto result = convert_text(
      ase_file(light_block(std::string(kNodeTm) + "\t*LIGHT_SHADOWS Off\n" + std::string(kSettings))),
      lights_only());
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(body_of(result.output),
            std::string(kTransformLines) + std::string(kShapeLines) + std::string(kSettingLines));
  EXPECT_TRUE(result.output.ends_with(
      "  connectAttr \"FDirect01Shape1.ltd\" \":lightList1.l\" -na;\n"
      "  connectAttr \"FDirect01Shape1.iog\" \":defaultLightSet.dsm\" -na;\n// End of out.ma "));
  EXPECT_EQ(result.out, "Entering light : FDirect01\nin.ase Completed\nout.ma Generated\n");
}

TEST(ConvertLight, ATargetLightGetsTwoShapesAndOneListEntry) {
  std::string target(kNodeTm);
  target.replace(target.find("FDirect01"), 9, "FDirect01.Target");
  const auto result = convert_text(
      ase_file(light_block(std::string(kNodeTm) + target + std::string(kSettings))), lights_only());
  EXPECT_EQ(body_of(result.output), std::string(kTransformLines) + std::string(kShapeLines) +
                                        std::string(kShapeLines) + std::string(kSettingLines));
  EXPECT_EQ(result.output.find("FDirect01.Target"), std::string::npos);
  EXPECT_EQ(result.output.find("Shape1.ltd"), result.output.rfind("Shape1.ltd")) << "one list entry";
}

TEST(ConvertLight, ScaleLastInNodeTmKeepsTheSettings) {
  const auto result = convert_text(
      ase_file(light_block("\t*NODE_TM {\n\t\t*NODE_NAME \"L\"\n\t\t*TM_SCALE 2.0 2.0 2.0\n\t}\n" +
                           std::string(kSettings)) +
               "*LIGHTOBJECT {\n\t*NODE_TM {\n\t\t*NODE_NAME \"Next\"\n\t}\n}\n"),
      lights_only());
  const std::string body = body_of(result.output);
  EXPECT_NE(body.find("\tsetAttr \".s\" -type \"double3\" 2.000000 2.000000 2.000000 ;\n"
                      "createNode spotLight -n \"LShape1\" -p \"L\";\n \tsetAttr -k off \".v\";\n" +
                      std::string(kSettingLines)),
            std::string::npos)
      << body;
  EXPECT_NE(body.find("createNode transform -n \"Next\";\n"), std::string::npos) << body;
  EXPECT_EQ(result.out, "Entering light : L\nin.ase Completed\nout.ma Generated\nEntering light : Next\n");
}

TEST(ConvertLight, MissingEntriesWriteNoLinesAndIntegersCountAsNumbers) {
  const auto result =
      convert_text(ase_file("*LIGHTOBJECT {\n*NODE_TM {\n*NODE_NAME \"L\"\n*TM_POS 1 -2 3\n}\n"
                            "*LIGHT_SETTINGS {\n*LIGHT_INTENS 2\n*LIGHT_COLOR 3 0.5 -1\n}\n}\n"),
                   lights_only());
  EXPECT_EQ(
      body_of(result.output),
      "createNode transform -n \"L\";\n\tsetAttr \".t\" -type \"double3\" 1.000000 -2.000000 3.000000 ;\n"
      "createNode spotLight -n \"LShape1\" -p \"L\";\n \tsetAttr -k off \".v\";\n"
      "\tsetAttr \".in\" 2.000000 ;\n\tsetAttr \".cl\" -type \"float3\" 3.000000 0.500000 -1.000000 ;\n");
}

TEST(ConvertLight, NamelessAndLongNamedLights) {
  const auto nameless = convert_text(
      ase_file("*LIGHTOBJECT {\n*NODE_TM {\n*NODE_NAME 5\n*TM_ROTANGLE 1.0\n}\n}\n"), lights_only());
  EXPECT_EQ(body_of(nameless.output),
            "createNode transform -n \"\";\n\tsetAttr \".r\" -type \"double3\" 0.000000 0.000000 0.000000 ;\n"
            "createNode spotLight -n \"Shape1\" -p \"\";\n \tsetAttr -k off \".v\";\n");
  EXPECT_TRUE(nameless.out.ends_with("Entering light : \n")) << nameless.out;

  const std::string long_name(300, 'n');
  const auto long_named = convert_text(
      ase_file("*LIGHTOBJECT {\n*NODE_TM {\n*NODE_NAME \"" + long_name + "\"\n}\n}\n"), lights_only());
  EXPECT_NE(long_named.output.find("createNode transform -n \"" + long_name.substr(0, 255) + "\";\n"),
            std::string::npos);
  EXPECT_EQ(long_named.output.find(long_name.substr(0, 256)), std::string::npos);
}

TEST(ConvertLight, UnknownNestedBlockEndsTheLight) {
  const auto result = convert_text(
      ase_file("*LIGHTOBJECT {\n*NODE_TM {\n*NODE_NAME \"L\"\n}\n*LIGHT_SETTINGS {\n*LIGHT_INTENS 2.0\n}\n"
               "*LIGHT_ANIMATION {\n*LIGHT_INTENS 9.0\n}\n*LIGHT_SETTINGS {\n*LIGHT_INTENS 3.0\n}\n}\n"),
      lights_only());
  const std::string body = body_of(result.output);
  // The first NODE_TM's shape walk runs on through the settings up to their
  // "}"; the unknown block's "}" then ends the light, and the second
  // LIGHT_SETTINGS is met at the top level, where it starts nothing.
  EXPECT_NE(body.find("\tsetAttr \".in\" 2.000000 ;\n"), std::string::npos);
  EXPECT_EQ(body.find("9.000000"), std::string::npos);
  EXPECT_EQ(body.find("3.000000"), std::string::npos);
}

TEST(ConvertLight, InputEndingInsideAnyLoopStopsTheLight) {
  for (const char* cut :
       {"*LIGHTOBJECT {\n*NODE_TM {\n*NODE_NAME \"L\"\n*TM_POS 1.0",
        "*LIGHTOBJECT {\n*NODE_TM {\n*NODE_NAME \"L\"\n}\n*LIGHT_SETTINGS {\n*LIGHT_COLOR 1.0",
        "*LIGHTOBJECT {\n*LIGHT_SETTINGS {\n"}) {
    const auto result = convert_text(ase_file(cut), lights_only());
    EXPECT_EQ(result.exit_status, 0) << cut;
    EXPECT_TRUE(result.output.ends_with("// End of out.ma ")) << cut;
  }
  const auto missing_brace = convert_text(ase_file("*LIGHTOBJECT *NODE_TM"), lights_only());
  EXPECT_EQ(missing_brace.err, "Some Fatal Error just occurred");
}

}  // namespace
}  // namespace kestrun
