#include "convert/camera.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace kestrun {
namespace {

using testing::ase_file;
using testing::body_of;
using testing::convert_text;

RunOptions cameras_only() {
  RunOptions options;
  options.cameras = true;
  return options;
}

constexpr std::string_view kNodeTm =
    "\t*NODE_TM {\n\t\t*NODE_NAME \"Camera01\"\n\t\t*TM_POS -65.8677\t16.1213\t0.0000\n"
    "\t\t*TM_ROTAXIS -0.6348\t0.5464\t0.5464\n\t\t*TM_ROTANGLE 2.0103\n\t\t*TM_SCALE "
    "1.0000\t1.0000\t1.0000\n\t}\n";
constexpr std::string_view kTargetTm =
    "\t*NODE_TM {\n\t\t*NODE_NAME \"Camera01.Target\"\n\t\t*TM_POS 14.4292\t28.2159\t0.0000\n\t}\n";
constexpr std::string_view kSettings =
    "\t*CAMERA_SETTINGS {\n\t\t*TIMEVALUE 0\n\t\t*CAMERA_NEAR 0.5000\n\t\t*CAMERA_FAR 1000.0000\n"
    "\t\t*CAMERA_FOV 0.7854\n\t\t*CAMERA_TDIST 160.0000\n\t}\n";

constexpr std::string_view kTransformLines =
    "createNode transform -n \"Camera01\";\n"
    "\tsetAttr \".t\" -type \"double3\" -65.867699 16.121300 0.000000 ;\n"
    "\tsetAttr \".r\" -type \"double3\" 89.996483 -0.003023 -81.437004 ;\n"
    "\tsetAttr \".s\" -type \"double3\" 1.000000 1.000000 1.000000 ;\n";
constexpr std::string_view kShapeLines =
    "createNode camera -n \"Camera01Shape1\" -p \"Camera01\";\n \tsetAttr -k off \".v\";\n"
    "\tsetAttr \".fcp\"  100000.000;\n";
constexpr std::string_view kSettingLines =
    "\tsetAttr \".ncp\" 0.500000 ;\n\tsetAttr \".fcp\" 1000.000000 ;\n\tsetAttr \".fl\" 40.000000 ;\n";

std::string camera_block(std::string_view contents) {
  std::string block = "*CAMERAOBJECT {\n\t*NODE_NAME \"Camera01\"\n\t*CAMERA_TYPE Target\n";
  return block.append(contents).append("}\n");
}

TEST(ConvertCamera, FreeCameraGetsTransformShapeAndSettings) {
  const auto result =
      convert_text(ase_file(camera_block(std::string(kNodeTm) + std::string(kSettings))), cameras_only());
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(body_of(result.output),
            std::string(kTransformLines) + std::string(kShapeLines) + std::string(kSettingLines));
  EXPECT_EQ(result.out, "Entering camera : Camera01\nin.ase Completed\nout.ma Generated\n");
  EXPECT_EQ(result.output.find("connectAttr \"Camera01"), std::string::npos) << "cameras are not connected";
}

TEST(ConvertCamera, TargetCameraGetsASecondShapeWithTheSettings) {
  const auto result = convert_text(
      ase_file(camera_block(std::string(kNodeTm) + std::string(kTargetTm) + std::string(kSettings))),
      cameras_only());
  EXPECT_EQ(body_of(result.output), std::string(kTransformLines) + std::string(kShapeLines) +
                                        std::string(kShapeLines) + std::string(kSettingLines));
}

TEST(ConvertCamera, WithoutFarOrTargetDistanceOnlyTheFixedLinesRemain) {
  const auto result =
      convert_text(ase_file("*CAMERAOBJECT {\n*NODE_TM {\n*NODE_NAME \"C\"\n*TM_SCALE 1 2 3\n}\n"
                            "*CAMERA_SETTINGS {\n*CAMERA_FOV 0.7854\n*CAMERA_TDIST 10\n}\n}\n"),
                   cameras_only());
  EXPECT_EQ(
      body_of(result.output),
      "createNode transform -n \"C\";\n\tsetAttr \".s\" -type \"double3\" 1.000000 2.000000 3.000000 ;\n"
      "createNode camera -n \"CShape1\" -p \"C\";\n \tsetAttr -k off \".v\";\n"
      "\tsetAttr \".fcp\"  100000.000;\n\tsetAttr \".fl\" 2.500000 ;\n");
}

TEST(ConvertCamera, RotationBeforeAnyAxisUsesNoAxis) {
  const auto result = convert_text(
      ase_file("*CAMERAOBJECT {\n*NODE_TM {\n*NODE_NAME \"C\"\n*TM_ROTANGLE 1.0\n*TM_ROTAXIS 0.0 0.0 1.0\n"
               "*TM_ROTANGLE 1.0\n}\n}\n"),
      cameras_only());
  const std::string body = body_of(result.output);
  EXPECT_NE(body.find("\tsetAttr \".r\" -type \"double3\" 0.000000 0.000000 0.000000 ;\n"
                      "\tsetAttr \".r\" -type \"double3\" 0.000000 -0.000000 -57.295780 ;\n"),
            std::string::npos)
      << body;
}

}  // namespace
}  // namespace kestrun
