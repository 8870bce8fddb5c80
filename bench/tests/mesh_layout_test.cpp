#include "gen/mesh_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kestrun::scenegen {
namespace {

class MeshLayoutSizes : public ::testing::TestWithParam<std::int64_t> {};

TEST_P(MeshLayoutSizes, EveryVertexIsSixCornersOfValidFaces) {
  const MeshLayout layout = mesh_layout(GetParam());
  ASSERT_EQ(layout.vertices, GetParam());
  ASSERT_EQ(layout.faces, 2 * layout.vertices);
  ASSERT_GE(layout.rows * layout.columns, layout.vertices);
  std::vector<int> uses(static_cast<std::size_t>(layout.vertices));
  for (std::int64_t face = 0; face < layout.faces; ++face) {
    const auto corners = face_corners(layout, face);
    for (const std::int64_t corner : corners) {
      ASSERT_GE(corner, 0);
      ASSERT_LT(corner, layout.vertices);
      ++uses[static_cast<std::size_t>(corner)];
    }
    ASSERT_NE(corners[0], corners[1]);
    ASSERT_NE(corners[1], corners[2]);
    ASSERT_NE(corners[0], corners[2]);
  }
  EXPECT_TRUE(std::all_of(uses.begin(), uses.end(), [](int count) { return count == 6; }));
}

// Counts the digits the MESH block prints for indices by walking every line.
std::uint64_t counted_index_bytes(std::int64_t vertices) {
  const MeshLayout layout = mesh_layout(vertices);
  const auto width = [](std::int64_t value, std::size_t minimum) {
    return std::max(std::to_string(value).size(), minimum);
  };
  std::uint64_t total = 0;
  for (std::int64_t i = 0; i < layout.vertices; ++i) total += width(i, 4) + width(i, 1);  // VERTEX, TVERT
  for (std::int64_t face = 0; face < layout.faces; ++face) {
    total += width(face, 4) + 2 * width(face, 1);  // FACE, TFACE, FACENORMAL
    for (const std::int64_t corner : face_corners(layout, face))
      total += width(corner, 4) + 2 * width(corner, 1);
  }
  return total + 2 * width(layout.vertices, 1) + 2 * width(layout.faces, 1);  // the four counts
}

TEST_P(MeshLayoutSizes, IndexBytesMatchALineByLineCount) {
  EXPECT_EQ(mesh_index_bytes(GetParam()), counted_index_bytes(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Counts, MeshLayoutSizes,
                         ::testing::Values(4, 5, 7, 16, 17, 999, 1000, 5001, 60'000));

TEST(MeshLayout, TooFewVerticesAreRaisedToTheMinimum) { EXPECT_EQ(mesh_layout(1).vertices, kMinVertices); }

}  // namespace
}  // namespace kestrun::scenegen
