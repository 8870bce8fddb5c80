// The flat walks over the file and over each GEOMOBJECT.
#include "ase/scene_walk.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace kestrun {
namespace {

using testing::ase_file;
using testing::body_of;
using testing::convert_text;

std::string nodes_for(std::string_view name) {
  std::string text = " createNode transform -n \"";
  text.append(name).append("\";\n createNode mesh -n \"").append(name).append("Shape1\" -p \"");
  return text.append(name).append("\";\n");
}

RunOptions only(bool geometry, bool animation, bool scene) {
  RunOptions options;
  options.geometry = geometry;
  options.animation = animation;
  options.scene = scene;
  return options;
}

constexpr std::string_view kTimedScene = "*SCENE {\n*SCENE_FIRSTFRAME 5\n*SCENE_LASTFRAME 50\n}\n";

TEST(SceneWalk, ConvertsEachBlockInFileOrderAndReportsProgress) {
  const auto result =
      convert_text(ase_file(std::string(kTimedScene) +
                            "*MATERIAL_LIST {\n*MATERIAL_COUNT 0\n}\n"
                            "*GEOMOBJECT {\n*NODE_NAME \"A\"\n}\n*GEOMOBJECT {\n*NODE_NAME \"B\"\n}\n"));
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(
      result.out,
      "Found Scene info\nEntering Object : A\nEntering Object : B\nin.ase Completed\nout.ma Generated\n");
  EXPECT_EQ(body_of(result.output), nodes_for("A") + nodes_for("B"));
  EXPECT_NE(result.output.find("-min 5 -max 50 -animationStartTime 5 -animationEndTime 50"),
            std::string::npos);
}

TEST(SceneWalk, TheBlockRightAfterTheVersionIsNotLost) {
  const auto scene_first = convert_text("*3DSMAX_ASCIIEXPORT 200\n" + std::string(kTimedScene));
  EXPECT_EQ(scene_first.out.substr(0, 17), "Found Scene info\n");
  EXPECT_NE(scene_first.output.find("-min 5 -max 50"), std::string::npos);

  const auto object_first = convert_text("*3DSMAX_ASCIIEXPORT 200 *GEOMOBJECT { *NODE_NAME \"A\" }");
  EXPECT_EQ(body_of(object_first.output), nodes_for("A"));

  const auto comment_first =
      convert_text("*3DSMAX_ASCIIEXPORT 200 *COMMENT *GEOMOBJECT { *NODE_NAME \"A\" }");
  EXPECT_EQ(body_of(comment_first.output), nodes_for("A"));
}

TEST(SceneWalk, SwitchesThatAreOffPassTheirBlocksOver) {
  const std::string scene = ase_file(std::string(kTimedScene) + "*GEOMOBJECT {\n*NODE_NAME \"A\"\n}\n");
  const auto nothing = convert_text(scene, only(false, true, false));
  EXPECT_EQ(nothing.out, "in.ase Completed\nout.ma Generated\n");
  EXPECT_EQ(body_of(nothing.output), "");
  EXPECT_NE(nothing.output.find("-min 0 -max 0 -animationStartTime 0 -animationEndTime 0"),
            std::string::npos);
}

TEST(SceneWalk, NodeTmAndAnimationBlocksAreSkippedToTheirFirstBrace) {
  // The NODE_NAME inside NODE_TM, and the one inside a skipped TM_ANIMATION,
  // create no nodes; the object ends at the first "}" met at its level.
  const auto result = convert_text(
      ase_file(
          "*GEOMOBJECT {\n*NODE_NAME \"A\"\n*NODE_TM {\n*NODE_NAME \"Tm\"\n}\n"
          "*MESH {\n*MESH_NUMVERTEX 0\n}\n"
          "*TM_ANIMATION {\n*NODE_NAME \"A\"\n*CONTROL_POS_TRACK {\n*CONTROL_POS_SAMPLE 0 1.0 1.0 1.0\n}\n"
          "*CONTROL_ROT_TRACK {\n*CONTROL_ROT_SAMPLE 0 1.0 1.0 1.0 1.0\n}\n}\n}\n"
          "*GEOMOBJECT {\n*NODE_NAME \"B\"\n}\n"),
      only(true, false, true));
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(body_of(result.output), nodes_for("A") + nodes_for("B"));
  EXPECT_EQ(result.out, "Entering Object : A\nEntering Object : B\nin.ase Completed\nout.ma Generated\n");
}

TEST(SceneWalk, ObjectWithoutANameReportsThePreviousOne) {
  const auto result =
      convert_text(ase_file("*GEOMOBJECT {\n*NODE_NAME 5\n}\n*GEOMOBJECT {\n*NODE_NAME \"A\"\n}\n"
                            "*GEOMOBJECT {\n}\n"));
  EXPECT_EQ(
      result.out,
      "Entering Object : \nEntering Object : A\nEntering Object : A\nin.ase Completed\nout.ma Generated\n");
  EXPECT_EQ(body_of(result.output), nodes_for("A"));
}

TEST(SceneWalk, MeshKeywordAnywhereAtObjectLevelStartsTheMeshReader) {
  const auto result =
      convert_text(ase_file("*GEOMOBJECT {\n*NODE_NAME \"A\"\n*UNKNOWN_BLOCK { *MESH { *MESH_NUMVERTEX 1\n"
                            "*MESH_VERTEX_LIST { *MESH_VERTEX 0 1.0 1.0 1.0 } } }\n}\n"));
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(body_of(result.output),
            nodes_for("A") + " setAttr -s 1 \".vt[0:0]\"\n                 1.000000 1.000000 1.000000\n;\n");
}

TEST(SceneWalk, MissingOrExtraClosingBracesLoseNoObject) {
  // An object left open takes in the next one: its name is converted there,
  // and its "}" closes both.
  const auto open =
      convert_text(ase_file("*GEOMOBJECT {\n*NODE_NAME \"A\"\n*GEOMOBJECT {\n*NODE_NAME \"B\"\n}\n"
                            "*GEOMOBJECT {\n*NODE_NAME \"C\"\n}\n"));
  EXPECT_EQ(open.exit_status, 0);
  EXPECT_EQ(body_of(open.output), nodes_for("A") + nodes_for("B") + nodes_for("C"));
  EXPECT_EQ(open.out, "Entering Object : B\nEntering Object : C\nin.ase Completed\nout.ma Generated\n");
  // Surplus braces at the top level are passed over.
  const auto extra = convert_text(
      ase_file("}\n*GEOMOBJECT {\n*NODE_NAME \"A\"\n}\n}\n}\n*GEOMOBJECT {\n*NODE_NAME \"B\"\n}\n}"));
  EXPECT_EQ(extra.exit_status, 0);
  EXPECT_EQ(body_of(extra.output), nodes_for("A") + nodes_for("B"));
}

TEST(SceneWalk, GeomobjectWithoutBraceIsCode4) {
  const auto result = convert_text(ase_file("*GEOMOBJECT *NODE_NAME \"A\"\n"));
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.err, "Some Fatal Error just occurred");
  EXPECT_EQ(result.output, testing::expected_header());
}

TEST(SceneWalk, InputEndingInsideAnObjectStillGetsTheTrailer) {
  for (const char* cut :
       {"*GEOMOBJECT {\n*NODE_NAME \"A\"\n", "*GEOMOBJECT {\n*NODE_NAME \"A\"\n*NODE_TM {\n",
        "*GEOMOBJECT {\n*NODE_NAME \"A\"\n*TM_ANIMATION {\n", "*GEOMOBJECT {\n*NODE_NAME \"A\""}) {
    const auto result = convert_text(ase_file(cut), only(true, false, false));
    EXPECT_EQ(result.exit_status, 0) << cut;
    EXPECT_EQ(result.out, "in.ase Completed\nout.ma Generated\nEntering Object : A\n") << cut;
    EXPECT_TRUE(result.output.ends_with("// End of out.ma ")) << cut;
  }
}

}  // namespace
}  // namespace kestrun
