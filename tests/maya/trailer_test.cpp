// The trailer that closes every output file, and the node lists it connects.
#include "maya/trailer.h"

#include <gtest/gtest.h>

#include <string>

#include "ase/byte_source.h"
#include "test_support.h"

namespace kestrun {
namespace {

/// The last of the default nodes, which every trailer writes; case
/// walk_switches_off shows a whole trailer with nothing converted.
constexpr std::string_view kLastDefaultNode = " connectAttr \"lightLinker1.msg\" \":lightList1.ln\" -na;\n";

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
  const std::string tail = text.substr(text.find(kLastDefaultNode) + kLastDefaultNode.size());
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
