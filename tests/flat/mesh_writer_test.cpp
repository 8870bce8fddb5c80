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

TEST(MeshWriter, EdgeCountsBeyond32BitsDoNotWrap) {
  FailingSink sink(/*failing_write=*/2);  // Keeps the first bytes written.
  MaWriter out(sink, 512);
  EXPECT_THROW(write_edges_and_faces(out, 2'000'000'000, {}), Error);
  EXPECT_EQ(sink.contents.substr(0, sink.contents.find('\n')),
            " setAttr -s 6000000000 \".ed[0:5999999999]\"");
}

}  // namespace
}  // namespace kestrun::testing
