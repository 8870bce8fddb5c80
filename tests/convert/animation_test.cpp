#include "convert/animation.h"

#include <gtest/gtest.h>

#include <string>

#include "convert/rotation.h"
#include "maya/format.h"
#include "test_support.h"

namespace kestrun {
namespace {

using testing::ase_file;
using testing::body_of;
using testing::convert_text;

RunOptions animation_only() {
  RunOptions options;
  options.geometry = options.animation = options.scene = true;  // What -a turns on.
  return options;
}

constexpr std::string_view kNodes =
    " createNode transform -n \"Box01\";\n createNode mesh -n \"Box01Shape1\" -p \"Box01\";\n";

/// The curves written for a Box01 whose TM_ANIMATION holds `groups`, with
/// `ticks` ticks per frame.
std::string curves_for(std::string_view groups, std::string_view ticks = "160") {
  std::string scene = "*SCENE {\n*SCENE_TICKSPERFRAME ";
  scene.append(ticks).append(
      "\n}\n*GEOMOBJECT {\n*NODE_NAME \"Box01\"\n*TM_ANIMATION {\n*NODE_NAME \"Box01\"\n");
  scene.append(groups).append("\n}\n}\n");
  const auto result = convert_text(ase_file(scene), animation_only());
  EXPECT_EQ(result.exit_status, 0) << result.err;
  const std::string body = body_of(result.output);
  EXPECT_EQ(body.substr(0, kNodes.size()), kNodes);
  return body.substr(kNodes.size());
}

/// The ".ktv" values of the curve whose creation line names `curve`.
std::string keys_of(const std::string& curves, std::string_view curve) {
  const std::size_t start = curves.find(std::string(curve) + "\";\n");
  const std::size_t keys = curves.find("]\"", start) + 2;
  return curves.substr(keys, curves.find(";\n\n", keys) - keys);
}

TEST(ConvertAnimation, WritesTheDocumentedPositionGroup) {
  EXPECT_EQ(curves_for("*CONTROL_POS_BEZIER {\n"
                       "*CONTROL_BEZIER_POS_KEY 0\t10.0000\t0.0000\t5.5000\t0.0 0.0 0.0 0.0 0.0 0.0 0\n"
                       "*CONTROL_BEZIER_POS_KEY 1600\t20.0000\t0.0000\t5.5000\t0.0 0.0 0.0 0.0 0.0 0.0 0\n}"),
            "createNode animCurveTU -n \"Box01_translateX\";\n"
            "\tsetAttr \".tan\" 9;\n"
            "\tsetAttr \".wgt\" no;\tsetAttr -s 2 \".ktv[0:1]\" 0 10.000000 10 20.000000;\n\n"
            "createNode animCurveTU -n\"Box01_translateY\";\n"
            "\tsetAttr \".tan\" 9;\n"
            "\tsetAttr \".wgt\" no;\tsetAttr -s 2 \".ktv[0:1]\" 0 0.000000 10 0.000000;\n\n"
            "createNode animCurveTU-n\"Box01_translateZ\";\n"
            "\tsetAttr \".tan\" 9;\n"
            "\tsetAttr \".wgt\" no;\tsetAttr -s 2 \".ktv[0:1]\" 0 5.500000 10 5.500000;\n\n"
            "connectAttr \"Box01_translateX.o\" \"Box01.tx\";\n"
            "connectAttr \"Box01_translateY.o\" \"Box01.ty\";\n"
            "connectAttr \"Box01_translateZ.o\" \"Box01.tz\";\n\n");
}

TEST(ConvertAnimation, EmptyGroupsStillWriteTheirCurvesInBlockOrder) {
  const std::string curves = curves_for("*CONTROL_SCALE_BEZIER {\n}\n*CONTROL_ROT_TCB {\n}");
  EXPECT_EQ(curves,
            "createNode animCurveTU -n \"Box01_scaleX\";\n\tsetAttr \".tan\" 9;\n"
            "\tsetAttr \".wgt\" no;\tsetAttr -s 0 \".ktv[0:-1]\";\n\n"
            "createNode animCurveTU -n \"Box01_scaleY\";\n\tsetAttr \".tan\" 9;\n"
            "\tsetAttr \".wgt\" no;\tsetAttr -s 0 \".ktv[0:-1]\";\n\n"
            "createNode animCurveTU -n\"Box01_scaleZ\";\n\tsetAttr \".tan\" 9;\n"
            "\tsetAttr \".wgt\" no;\tsetAttr -s 0 \".ktv[0:-1]\";\n\n"
            "connectAttr \"Box01_scaleX.o\" \"Box01.sx\";\nconnectAttr \"Box01_scaleY.o\" \"Box01.sy\";\n"
            "connectAttr \"Box01_scaleZ.o\" \"Box01.sz\";\n\n"
            "createNode animCurveTA -n \"Box01_rotateX\";\n\tsetAttr \".tan\" 9;\n"
            "\tsetAttr \".wgt\" no;\tsetAttr -s 0 \".ktv[0:-1]\";\n\n"
            "createNode animCurveTA -n \"Box01_rotateY\";\n\tsetAttr \".tan\" 9;\n"
            "\tsetAttr \".wgt\" no;\tsetAttr -s 0 \".ktv[0:-1]\";\n\n"
            "createNode animCurveTA -n \"Box01_rotateZ\";\n\tsetAttr \".tan\" 9;\n"
            "\tsetAttr \".wgt\" no;\tsetAttr -s 0 \".ktv[0:-1]\";\n\n"
            "connectAttr \"Box01_rotateX.o\" \"Box01.rx\";\nconnectAttr \"Box01_rotateY.o\" \"Box01.ry\";\n"
            "connectAttr \"Box01_rotateZ.o\" \"Box01.rz\";\n\n");
}

TEST(ConvertAnimation, KeyTimesBecomeFramesTruncatedTowardZero) {
  const std::string curves = curves_for(
      "*CONTROL_POS_BEZIER {\n*CONTROL_BEZIER_POS_KEY 250 1.0 2.0 3.0\n*CONTROL_BEZIER_POS_KEY 100 1.0 2.0 "
      "3.0\n"
      "*CONTROL_BEZIER_POS_KEY -100 1.0 2.0 3.0\n*CONTROL_BEZIER_POS_KEY -170 1.0 2.0 3.0\n"
      "*CONTROL_BEZIER_POS_KEY 479.9 1.0 2.0 3.0\n}");
  EXPECT_EQ(keys_of(curves, "Box01_translateX"), " 1 1.000000 0 1.000000 0 1.000000 -1 1.000000 2 1.000000");
  // Without ticks per frame the exporter's default of 160 applies; odd values divide as they are.
  EXPECT_EQ(keys_of(curves_for("*CONTROL_POS_BEZIER {\n*CONTROL_BEZIER_POS_KEY 480 1 2 3\n}", "0"),
                    "Box01_translateX"),
            " 3 1.000000");
  EXPECT_EQ(keys_of(curves_for("*CONTROL_POS_BEZIER {\n*CONTROL_BEZIER_POS_KEY -2147483648 1 2 3\n}", "-1"),
                    "Box01_translateX"),
            " 2147483647 1.000000");
}

TEST(ConvertAnimation, RotationCurvesHoldRunningSums) {
  const std::string curves = curves_for(
      "*CONTROL_ROT_TCB {\n*CONTROL_TCB_ROT_KEY 0 -1.0 0.0 0.0 0.1745329 0.0 0.0 0.0 0.0 0.0\n"
      "*CONTROL_TCB_ROT_KEY 160 -1.0 0.0 0.0 0.0872665 0.0 0.0 0.0 0.0 0.0\n"
      "*CONTROL_TCB_ROT_KEY 320 1.0 0.0 0.0 0.0523599 0.0 0.0 0.0 0.0 0.0\n}");
  const float first = axis_angle_to_euler(-1, 0, 0, 0.1745329F).x;
  const float second = first + axis_angle_to_euler(-1, 0, 0, 0.0872665F).x;
  const float third = second + axis_angle_to_euler(1, 0, 0, 0.0523599F).x;
  EXPECT_EQ(keys_of(curves, "Box01_rotateX"), format_string(" 0 %f 1 %f 2 %f", first, second, third));
  EXPECT_NEAR(first, 10.0F, 1e-4F);  // Turns of about 10, 5 and -3 degrees...
  EXPECT_NEAR(second, 15.0F, 1e-4F);
  EXPECT_NEAR(third, 12.0F, 1e-4F);  // ...sum to about 10, 15 and 12.
  EXPECT_EQ(keys_of(curves, "Box01_rotateZ"), " 0 0.000000 1 0.000000 2 0.000000");
}

TEST(ConvertAnimation, NoKeyIsLostWhateverFollowsItsValues) {
  const std::string curves = curves_for(
      "*CONTROL_SCALE_BEZIER {\n*CONTROL_BEZIER_SCALE_KEY 0 1.0 1.0 1.0\n*CONTROL_BEZIER_SCALE_KEY 160 2.0 "
      "2.0 2.0\n"
      "*CONTROL_BEZIER_SCALE_KEY 320 3 3 3}");
  EXPECT_EQ(keys_of(curves, "Box01_scaleX"), " 0 1.000000 1 2.000000 2 3.000000");
}

TEST(ConvertAnimation, NamesComeFromTheBlockOrTheObject) {
  const auto result = convert_text(
      ase_file("*GEOMOBJECT {\n*NODE_NAME \"Obj\\1\"\n*TM_ANIMATION {\n*CONTROL_POS_BEZIER {\n}\n"
               "*NODE_NAME \"Other\"\n*CONTROL_SCALE_BEZIER {\n}\n}\n}\n"),
      animation_only());
  const std::string body = body_of(result.output);
  EXPECT_NE(body.find("createNode animCurveTU -n \"Obj\\\\1_translateX\";\n"), std::string::npos) << body;
  EXPECT_NE(body.find("connectAttr \"Obj\\\\1_translateX.o\" \"Obj\\\\1.tx\";\n"), std::string::npos) << body;
  EXPECT_NE(body.find("createNode animCurveTU -n \"Other_scaleX\";\n"), std::string::npos) << body;
  EXPECT_EQ(result.out,
            "Entering animation node\nFound Translation\nFound scale\nEntering Object : Obj\\1\n"
            "in.ase Completed\nout.ma Generated\n");
}

TEST(ConvertAnimation, InputEndingInsideAGroupWritesTheKeysReadSoFar) {
  const auto result =
      convert_text(ase_file("*GEOMOBJECT {\n*NODE_NAME \"B\"\n*TM_ANIMATION {\n*CONTROL_POS_BEZIER {\n"
                            "*CONTROL_BEZIER_POS_KEY 0 1.0 2.0 3.0 0.0\n*CONTROL_BEZIER_POS_KEY 160 4.0"),
                   animation_only());
  EXPECT_EQ(result.exit_status, 0);
  const std::string body = body_of(result.output);
  EXPECT_NE(body.find("\tsetAttr -s 2 \".ktv[0:1]\" 0 1.000000 1 4.000000;\n\n"), std::string::npos) << body;
  EXPECT_NE(body.find("connectAttr \"B_translateZ.o\" \"B.tz\";\n\n"), std::string::npos);
  EXPECT_EQ(body.find("rotate"), std::string::npos);
}

TEST(ConvertAnimation, LargeGroupsAreWrittenInFull) {
  std::string keys = "*CONTROL_POS_BEZIER {\n";
  for (int key = 0; key < 5000; ++key) {
    keys += "*CONTROL_BEZIER_POS_KEY " + std::to_string(key * 160) + " 1.0 2.0 3.0\n";
  }
  const std::string curves = curves_for(keys + "}");
  EXPECT_NE(curves.find("\tsetAttr -s 5000 \".ktv[0:4999]\" 0 1.000000 1 1.000000"), std::string::npos);
  EXPECT_NE(curves.find(" 4999 3.000000;\n\n"), std::string::npos);
}

TEST(ConvertAnimation, MissingBraceIsCode4) {
  const auto result = convert_text(
      ase_file("*GEOMOBJECT {\n*NODE_NAME \"B\"\n*TM_ANIMATION *CONTROL_POS_BEZIER"), animation_only());
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.err, "Some Fatal Error just occurred");
}

}  // namespace
}  // namespace kestrun
