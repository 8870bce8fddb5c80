// Node names and node placement of the extended mode: legal, unique names;
// nodes under parents that come later, that never come, that close a loop,
// or that the switches leave out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extended/maya_output.h"
#include "extended/names.h"
#include "extended/node_placement.h"
#include "io/byte_sink.h"

namespace kestrun::extended {
namespace {

TEST(Names, AreMadeLegalAndUniqueInTheOrderTheyCome) {
  struct Case {
    std::string wanted;
    std::string legal;
  };
  for (const Case& c : std::vector<Case>{{"Box01", "Box01"},
                                         {"Box 01", "Box_01"},
                                         {"3ds", "_3ds"},
                                         {"", "unnamed"},
                                         {"a-b.c|d:e", "a_b_c_d_e"},
                                         {"\xc3\xa9t\xc3\xa9", "__t__"},
                                         {std::string(300, 'x'), std::string(200, 'x')}}) {
    EXPECT_EQ(NameRegistry::legal(c.wanted), c.legal) << c.wanted;
  }
  NameRegistry names;
  const std::vector<std::pair<std::string_view, std::string>> claims = {
      {"Box", "Box"},   {"Box", "Box_1"},  {"Box 01", "Box_01"}, {"Box_01", "Box_01_1"}, {"Box", "Box_2"},
      {"Box_", "Box_"}, {"Box_", "Box_3"}, {"persp", "persp_1"}, {"time1", "time1_1"}};
  for (const auto& [wanted, given] : claims) EXPECT_EQ(names.claim(wanted), given) << wanted;
}

/// A placer over an output whose text and warnings the test reads.
struct Scene {
  MemorySink sink;
  MaWriter out{sink};
  std::vector<std::string> warnings_told;
  Warnings warnings{[this](std::string_view line) { warnings_told.emplace_back(line); }};
  MayaOutput output{out, warnings, {}, {}};
  std::vector<std::string> plain_written;
  NodePlacer placer{output, "", [this](const Placement& placement, std::string_view, const NodeAnimation&) {
                      plain_written.push_back(placement.name + " under '" + placement.parent + "'");
                    }};

  std::string text() {
    out.flush();
    return sink.contents();
  }
};

Matrix43 moved_to(double x, double y, double z) {
  Matrix43 m;
  m.rows[3] = Vec3{x, y, z};
  return m;
}

TEST(NodePlacement, PlacesUnderParentsThatCameBeforeAndLaterAndKeepsLoopsAndMissingOnesAtTheTop) {
  Scene scene;
  NodePlacer& placer = scene.placer;
  const Placement root = placer.place("Root", "", moved_to(10, 0, 0));
  EXPECT_EQ(root.parent, "");
  const Placement child = placer.place("Child", "Root", moved_to(10, 5, 0));
  EXPECT_EQ(child.parent, root.name);
  EXPECT_NEAR(child.local.rows[3].y, 5, 1e-12) << "the child's placement is relative to its parent";
  EXPECT_NEAR(child.local.rows[3].x, 0, 1e-12);

  const Placement early = placer.place("Early", "Late", moved_to(1, 2, 3));
  EXPECT_EQ(early.parent, "") << "a parent not seen yet: the top level for now";
  EXPECT_NEAR(early.local.rows[3].z, 3, 1e-12) << "with its world placement";
  const Placement orphan = placer.place("Orphan", "Nowhere", moved_to(0, 0, 0));
  EXPECT_EQ(orphan.parent, "");
  // A and B name each other: B goes under A, A cannot go under B.
  placer.place("A", "B", moved_to(0, 0, 0));
  const Placement b = placer.place("B", "A", moved_to(0, 0, 0));
  EXPECT_EQ(b.parent, "A");
  placer.place("Late", "", moved_to(1, 0, 0));
  scene.warnings_told.clear();
  placer.finish();
  EXPECT_EQ(scene.warnings_told,
            (std::vector<std::string>{
                "\"Early\": its parent \"Late\" comes later in the file; it is moved under it at the end, "
                "where the file places it",
                "\"Orphan\": its parent \"Nowhere\" is not in the file; it stays at the top level, where the "
                "file places it",
                "\"A\": its parent \"B\" is also its descendant; it stays at the top level, where the file "
                "places it"}));
  const std::string text = scene.text();
  EXPECT_NE(text.find("parent -r \"Early\" \"Late\";\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("parent -r \"A\""), std::string::npos) << text;
  EXPECT_TRUE(scene.plain_written.empty());
}

TEST(NodePlacement, APassedOverParentIsWrittenAsAPlainTransformOnceAChildNeedsIt) {
  Scene scene;
  NodePlacer& placer = scene.placer;
  placer.pass_over("Camera", "", moved_to(0, 0, 7), {});
  placer.pass_over("Unneeded", "", moved_to(0, 0, 0), {});
  EXPECT_TRUE(scene.plain_written.empty()) << "nothing hangs from them yet";
  const Placement box = placer.place("Box", "Camera", moved_to(0, 0, 9));
  EXPECT_EQ(scene.plain_written, std::vector<std::string>{"Camera under ''"});
  EXPECT_EQ(box.parent, "Camera");
  EXPECT_NEAR(box.local.rows[3].z, 2, 1e-12);
  placer.finish();
  EXPECT_TRUE(scene.warnings_told.empty()) << "a passed-over parent is no missing one";
}

}  // namespace
}  // namespace kestrun::extended
