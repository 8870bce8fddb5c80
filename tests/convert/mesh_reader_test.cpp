// Reading MESH blocks, through whole conversions of small scenes.
#include "convert/mesh_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace kestrun {
namespace {

using testing::ase_file;
using testing::body_of;
using testing::convert_text;

constexpr std::string_view kNodes =
    " createNode transform -n \"M\";\n createNode mesh -n \"MShape1\" -p \"M\";\n";

/// The nodes written for a GEOMOBJECT named M holding `mesh` as its MESH block.
std::string mesh_body(std::string_view mesh) {
  std::string scene = "*GEOMOBJECT {\n\t*NODE_NAME \"M\"\n\t*MESH {\n";
  scene.append(mesh);
  scene.append("\n\t}\n}\n");
  const auto result = convert_text(ase_file(scene));
  EXPECT_EQ(result.exit_status, 0) << result.err;
  std::string body = body_of(result.output);
  EXPECT_EQ(body.substr(0, kNodes.size()), kNodes);
  return body.substr(kNodes.size());
}

std::string vertices_text(std::initializer_list<const char*> lines) {
  std::string text = " setAttr -s " + std::to_string(lines.size()) +
                     " \".vt[0:" + std::to_string(lines.size() - 1) + "]\"\n";
  for (const char* line : lines) text.append("                 ").append(line).append("\n");
  return text + ";\n";
}

TEST(MeshReader, VertexLinesFillEntriesInLineOrderWhateverTheirNumbers) {
  EXPECT_EQ(
      mesh_body(
          "*MESH_NUMVERTEX 3\n*MESH_VERTEX_LIST {\n"
          "*MESH_VERTEX 2\t1.0\t2.0\t3.0\n*MESH_VERTEX 7 -4.5 0.1234 300.7\n*MESH_VERTEX 0 0.0 0.0 -0.0\n}"),
      vertices_text(
          {"1.000000 2.000000 3.000000", "-4.500000 0.123400 300.700012", "0.000000 0.000000 -0.000000"}));
}

TEST(MeshReader, IntegerCoordinatesAndRealCornersCountWithTheirOwnValues) {
  EXPECT_EQ(mesh_body("*MESH_NUMVERTEX 1\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1.5 7 -2\n}"),
            vertices_text({"1.500000 7.000000 -2.000000"}));
  const std::string faces =
      mesh_body("*MESH_NUMFACES 1\n*MESH_FACE_LIST {\n*MESH_FACE 0: A: 4.9 B: -1.9 C: 2\n}");
  EXPECT_NE(faces.find("                  4 -1 1\n                 -1 2 1\n                 2 4 1\n\n"),
            std::string::npos)
      << faces;
}

TEST(MeshReader, FaceLinesCountTokensAndStepOverWhatFollowsC) {
  const std::string with_extras = mesh_body(
      "*MESH_NUMFACES 2\n*MESH_FACE_LIST {\n"
      "*MESH_FACE 0: A: 0 B: 2 C: 3 AB: 1 BC: 1 CA: 0\t *MESH_SMOOTHING 2 \t*MESH_MTLID 1\n"
      "*MESH_FACE 1: A: 3 B: 1 C: 0\n}");
  const std::string plain = mesh_body(
      "*MESH_NUMFACES 2\n*MESH_FACE_LIST {\n*MESH_FACE 0: A: 0 B: 2 C: 3\n*MESH_FACE 1: A: 3 B: 1 C: 0\n}");
  EXPECT_EQ(with_extras, plain);
  EXPECT_NE(plain.find("                  0 2 1\n                 2 3 1\n                 3 0 1\n\n"
                       "                 3 1 1\n                 1 0 1\n                 0 3 1\n\n;\n\n"),
            std::string::npos)
      << plain;
}

TEST(MeshReader, ListsAreWrittenInTheOrderTheyStand) {
  const std::string body = mesh_body(
      "*MESH_NUMVERTEX 1\n*MESH_NUMFACES 1\n*MESH_FACE_LIST {\n*MESH_FACE 0: A: 0 B: 0 C: 0\n}\n"
      "*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1.0 1.0 1.0\n}");
  EXPECT_LT(body.find(".ed[0:2]"), body.find(".vt[0:0]"));
}

TEST(MeshReader, CountsDecideHowManyEntriesAreWritten) {
  // Fewer lines than the count: the rest are zeros.
  EXPECT_EQ(mesh_body("*MESH_NUMVERTEX 2\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1.0 1.0 1.0\n}"),
            vertices_text({"1.000000 1.000000 1.000000", "0.000000 0.000000 0.000000"}));
  // More lines than the count: the surplus is read and not stored.
  EXPECT_EQ(mesh_body("*MESH_NUMVERTEX 1\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1.0 1.0 1.0\n"
                      "*MESH_VERTEX 1 2.0 2.0 2.0\n}"),
            vertices_text({"1.000000 1.000000 1.000000"}));
  // No count in the block, or a negative one: count 0.
  EXPECT_EQ(mesh_body("*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1.0 1.0 1.0\n}"),
            " setAttr -s 0 \".vt[0:-1]\"\n;\n");
  EXPECT_EQ(mesh_body("*MESH_NUMVERTEX -5\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1.0 1.0 1.0\n}"),
            " setAttr -s 0 \".vt[0:-1]\"\n;\n");
  // A count given twice starts a new table of zeros.
  EXPECT_EQ(
      mesh_body("*MESH_NUMVERTEX 1\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1.0 1.0 1.0\n}\n*MESH_NUMVERTEX 1\n"
                "*MESH_VERTEX_LIST {\n}"),
      vertices_text({"1.000000 1.000000 1.000000"}) + vertices_text({"0.000000 0.000000 0.000000"}));
  // Counts start afresh in every MESH block.
  const auto two_meshes =
      convert_text(ase_file("*GEOMOBJECT {\n*NODE_NAME \"M\"\n*MESH {\n*MESH_NUMVERTEX 1\n*MESH_VERTEX_LIST "
                            "{\n*MESH_VERTEX 0 1.0 1.0 1.0\n}\n}\n"
                            "*MESH {\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1.0 1.0 1.0\n}\n}\n}\n"));
  EXPECT_NE(two_meshes.output.find(";\n setAttr -s 0 \".vt[0:-1]\"\n;\n"), std::string::npos);
}

TEST(MeshReader, HugeDeclaredCountsNeedNoMemoryOfTheirOwn) {
  // Two billion declared faces with no lines: the first flush of the output
  // already fails on the memory sink's limit; what matters is that the
  // reader did not try to allocate the table up front.
  const auto result =
      convert_text(ase_file("*GEOMOBJECT {\n*NODE_NAME \"M\"\n*MESH {\n*MESH_NUMVERTEX 2000000000\n"
                            "*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1.0 1.0 1.0\n}\n}\n}\n"),
                   RunOptions::everything(), /*output_limit=*/1 << 20);
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.err, "Error: Unable to write Output File\n");
  EXPECT_NE(result.output.find(" setAttr -s 2000000000 \".vt[0:1999999999]\"\n                 1.000000"),
            std::string::npos);
}

TEST(MeshReader, NormalsAreSteppedOverAndUnknownNestedBlocksEndTheMesh) {
  EXPECT_EQ(mesh_body("*MESH_NORMALS {\n*MESH_FACENORMAL 0 0.0 0.0 1.0\n*MESH_VERTEXNORMAL 0 0.0 0.0 1.0\n}\n"
                      "*MESH_NUMVERTEX 1\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1.0 1.0 1.0\n}"),
            vertices_text({"1.000000 1.000000 1.000000"}));
  // A texture-vertex list is an unknown block: its "}" ends the MESH block, and
  // the face list after it is met by the object walk, which ignores it.
  const std::string body = mesh_body(
      "*MESH_NUMVERTEX 1\n*MESH_NUMFACES 1\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1.0 1.0 1.0\n}\n"
      "*MESH_NUMTVERTEX 1\n*MESH_TVERTLIST {\n*MESH_TVERT 0 0.0 0.0 0.0\n}\n*MESH_FACE_LIST {\n*MESH_FACE 0: "
      "A: 0 B: 0 C: 0\n}");
  EXPECT_EQ(body, vertices_text({"1.000000 1.000000 1.000000"}));
}

TEST(MeshReader, MalformedStructureIsCode4) {
  for (const char* mesh : {"*MESH_NUMVERTEX 1.0", "*MESH_NUMFACES \"3\"",
                           "*MESH_VERTEX_LIST *MESH_VERTEX 0 1.0 1.0 1.0", "*MESH_FACE_LIST }"}) {
    const auto result =
        convert_text(ase_file(std::string("*GEOMOBJECT {\n*NODE_NAME \"M\"\n*MESH {\n") + mesh + "\n}\n}"));
    EXPECT_EQ(result.exit_status, 1) << mesh;
    EXPECT_EQ(result.err, "Some Fatal Error just occurred") << mesh;
    EXPECT_NE(result.output.find(kNodes), std::string::npos) << "what was written before stays";
    EXPECT_EQ(result.output.find("animationScriptNode"), std::string::npos) << "no trailer";
  }
  const auto no_brace = convert_text(ase_file("*GEOMOBJECT {\n*MESH *MESH_NUMVERTEX 1\n}"));
  EXPECT_EQ(no_brace.err, "Some Fatal Error just occurred");
}

TEST(MeshReader, InputEndingInsideAListStillWritesItAndTheTrailer) {
  const auto result =
      convert_text(ase_file("*GEOMOBJECT {\n*NODE_NAME \"M\"\n*MESH {\n*MESH_NUMVERTEX 2\n"
                            "*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1.0 2.0"));
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(body_of(result.output).substr(kNodes.size()),
            vertices_text({"1.000000 2.000000 2.000000", "0.000000 0.000000 0.000000"}));
  EXPECT_TRUE(result.output.ends_with("// End of out.ma "));
}

}  // namespace
}  // namespace kestrun
