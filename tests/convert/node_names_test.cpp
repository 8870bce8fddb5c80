#include "convert/node_names.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace kestrun {
namespace {

using testing::ase_file;
using testing::body_of;
using testing::convert_text;

TEST(NodeNameList, KeepsNamesInOrderWithRepeats) {
  NodeNameList list;
  append_node_name(list, "first");
  append_node_name(list, "second");
  append_node_name(list, "first");
  ASSERT_EQ(list.entries.size(), 3U);
  EXPECT_EQ(list.entries[0].name, "first");
  EXPECT_EQ(list.entries[1].name, "second");
  EXPECT_EQ(list.entries[2].name, "first");
}

TEST(NodeNameList, ANameRepeatedInARowCountsUpItsEntry) {
  NodeNameList list;
  for (int i = 0; i < 1000; ++i) append_node_name(list, std::string(255, 'L'));
  append_node_name(list, "other");
  append_node_name(list, std::string(255, 'L'));
  ASSERT_EQ(list.entries.size(), 3U);
  EXPECT_EQ(list.entries[0].times, 1000U);
  EXPECT_EQ(list.entries[1].name, "other");
  EXPECT_EQ(list.entries[1].times, 1U);
  EXPECT_EQ(list.entries[2].times, 1U);
}

TEST(CreateMeshNode, WritesTransformAndShapeAndConnectsEachOnce) {
  const auto result =
      convert_text(ase_file("*GEOMOBJECT {\n*NODE_NAME \"Box01\"\n*NODE_NAME \"Box02\"\n}\n*GEOMOBJECT "
                            "{\n*NODE_NAME \"Box01\"\n}\n"));
  EXPECT_EQ(body_of(result.output),
            " createNode transform -n \"Box01\";\n createNode mesh -n \"Box01Shape1\" -p \"Box01\";\n"
            " createNode transform -n \"Box02\";\n createNode mesh -n \"Box02Shape1\" -p \"Box02\";\n"
            " createNode transform -n \"Box01\";\n createNode mesh -n \"Box01Shape1\" -p \"Box01\";\n");
  EXPECT_NE(
      result.output.find("  connectAttr \"Box01Shape1.iog\" \":initialShadingGroup.dsm\" -na;\n"
                         "  connectAttr \"Box02Shape1.iog\" \":initialShadingGroup.dsm\" -na;\n"
                         "  connectAttr \"Box01Shape1.iog\" \":initialShadingGroup.dsm\" -na;\n// End of"),
      std::string::npos);
}

TEST(CreateMeshNode, EmptyNameIsASingleSpace) {
  const auto result = convert_text(ase_file("*GEOMOBJECT {\n*NODE_NAME \"\"\n}\n"));
  EXPECT_EQ(body_of(result.output),
            " createNode transform -n \" \";\n createNode mesh -n \" Shape1\" -p \" \";\n");
  EXPECT_EQ(result.out, "Entering Object :  \nin.ase Completed\nout.ma Generated\n");
}

TEST(CreateMeshNode, BackslashesCannotEscapeTheClosingQuote) {
  const auto result = convert_text(ase_file("*GEOMOBJECT {\n*NODE_NAME \"evil\\\"\n}\n"));
  EXPECT_EQ(
      body_of(result.output),
      " createNode transform -n \"evil\\\\\";\n createNode mesh -n \"evil\\\\Shape1\" -p \"evil\\\\\";\n");
  EXPECT_NE(result.output.find("  connectAttr \"evil\\\\Shape1.iog\""), std::string::npos);
  EXPECT_EQ(result.out, "Entering Object : evil\\\nin.ase Completed\nout.ma Generated\n")
      << "the console shows the name as it is";
}

}  // namespace
}  // namespace kestrun
