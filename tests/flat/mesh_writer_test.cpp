// The vertex, edge and face lists of a mesh node. Whole conversions show
// the lists as written in cases mesh_vertex_lines_in_order (through single
// precision), mesh_face_lines_as_exported (corners that are no vertex
// numbers) and mesh_counts (counts of zero), in tests/data/cases.
#include "flat/mesh_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace kestrun::testing {
namespace {

TEST(MeshWriter, EntriesNoLineFilledAreZeros) {
  const std::vector<MeshVertex> vertices = {{1, 2, 3}};
  EXPECT_EQ(written_by([&](MaWriter& out) { write_vertices(out, 2, vertices); }),
            " setAttr -s 2 \".vt[0:1]\"\n"
            "                 1.000000 2.000000 3.000000\n"
            "                 0.000000 0.000000 0.000000\n;\n");
  const std::vector<MeshFace> faces = {{7, 8, 9}};
  EXPECT_EQ(written_by([&](MaWriter& out) { write_edges_and_faces(out, 2, faces); }),
            " setAttr -s 6 \".ed[0:5]\"\n                  7 8 1\n                 8 9 1\n                 9 "
            "7 1\n\n"
            "                 0 0 1\n                 0 0 1\n                 0 0 1\n\n;\n\n"
            " setAttr -s 2 \".fc[0:1]\" -type \"polyFaces\" \n\n  f 3 0 1 2\n f 3 3 4 5\n;\n\n");
}

TEST(MeshWriter, EdgeCountsBeyond32BitsDoNotWrap) {
  FailingSink sink(/*failing_write=*/2);  // Keeps the first bytes written.
  MaWriter out(sink, 512);
  EXPECT_THROW(write_edges_and_faces(out, 2'000'000'000, {}), Error);
  EXPECT_EQ(sink.contents.substr(0, sink.contents.find('\n')),
            " setAttr -s 6000000000 \".ed[0:5999999999]\"");
}

}  // namespace
}  // namespace kestrun::testing
