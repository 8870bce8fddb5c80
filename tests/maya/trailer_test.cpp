// The trailer that closes every output file, and the node lists it connects.
#include "maya/trailer.h"

#include <gtest/gtest.h>

#include <string>

#include "ase/byte_source.h"
#include "test_support.h"

namespace kestrun {
namespace {

constexpr std::string_view kDefaultNodes =
    "\n\n"
    " createNode lightLinker -n \"lightLinker1\";\n"
    " createNode displayLayerManager -n \"layerManager\";\n"
    " createNode displayLayer -n \"defaultLayer\";\n"
    " createNode renderLayerManager -n \"renderLayerManager\";\n"
    " createNode renderLayer -n \"defaultRenderLayer\";\n"
    " createNode renderLayer -s -n \"globalRender\";\n"
    " createNode partition -n \"mtorPartition\";\n"
    " connectAttr \":defaultLightSet.msg\" \"lightLinker1.lnk[0].llnk\";\n"
    " connectAttr \":initialShadingGroup.msg\" \"lightLinker1.lnk[0].olnk\";\n"
    " connectAttr \":defaultLightSet.msg\" \"lightLinker1.lnk[1].llnk\";\n"
    " connectAttr \":initialParticleSE.msg\" \"lightLinker1.lnk[1].olnk\";\n"
    " connectAttr \"layerManager.dli[0]\" \"defaultLayer.id\";\n"
    " connectAttr \"renderLayerManager.rlmi[0]\" \"defaultRenderLayer.rlid\";\n"
    " connectAttr \":defaultRenderGlobals.msg\" \"mtorPartition.msg\";\n"
    " connectAttr \"lightLinker1.msg\" \":lightList1.ln\" -na;\n";

/// The node lists and timing a trailer is written from.
class TrailerTest : public ::testing::Test {
 protected:
  std::string trailer(std::string_view output_name = "scene.ma") {
    MemorySource input("");
    Tokenizer tokens(input, nullptr);
    CapturedConsole console;
    return testing::written_by([&](MaWriter& out) {
      Conversion conversion{tokens, out,    console, RunOptions::everything(), output_name, meshes,
                            lights, timing, {}};
      write_trailer(conversion);
    });
  }
  NodeNameList meshes;
  NodeNameList lights;
  SceneTiming timing;
};

TEST_F(TrailerTest, WithNothingConvertedEndsRightAfterTheDefaultNodes) {
  EXPECT_EQ(trailer(),
            "createNode script -n \"animationScriptNode\";\n\tsetAttr \".a\" -type \"string\" (\n"
            "\t\t\"playbackOptions -min 0 -max 0 -animationStartTime 0 -animationEndTime 0 ;\");\n" +
                std::string(kDefaultNodes) + "// End of scene.ma ");
}

TEST_F(TrailerTest, ConnectsMeshesThenLightsWithThePlaybackRange) {
  timing.first_frame = -5;
  timing.last_frame = 250;
  append_node_name(lights, "Spot01");
  append_node_name(meshes, "Box01");
  append_node_name(meshes, "Box\\02");
  // Names appended again in a row share an entry and are still connected each time.
  append_node_name(meshes, "Box\\02");
  append_node_name(lights, "Spot01");
  const std::string text = trailer("dir/out.ma");
  EXPECT_NE(text.find("-min -5 -max 250 -animationStartTime -5 -animationEndTime 250 ;"), std::string::npos);
  const std::string tail = text.substr(text.find(kDefaultNodes) + kDefaultNodes.size());
  EXPECT_EQ(tail,
            "  connectAttr \"Box01Shape1.iog\" \":initialShadingGroup.dsm\" -na;\n"
            "  connectAttr \"Box\\\\02Shape1.iog\" \":initialShadingGroup.dsm\" -na;\n"
            "  connectAttr \"Box\\\\02Shape1.iog\" \":initialShadingGroup.dsm\" -na;\n"
            "  connectAttr \"Spot01Shape1.ltd\" \":lightList1.l\" -na;\n"
            "  connectAttr \"Spot01Shape1.iog\" \":defaultLightSet.dsm\" -na;\n"
            "  connectAttr \"Spot01Shape1.ltd\" \":lightList1.l\" -na;\n"
            "  connectAttr \"Spot01Shape1.iog\" \":defaultLightSet.dsm\" -na;\n"
            "// End of dir/out.ma ");
}

TEST_F(TrailerTest, OutputNameCannotEndTheClosingComment) {
  EXPECT_TRUE(trailer("a\nb\r.ma").ends_with("\n// End of a b .ma "));
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

}  // namespace
}  // namespace kestrun
