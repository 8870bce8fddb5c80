// The vertex, edge and face lists of a mesh node. Whole conversions show
// more: counts of zero in case mesh_counts, single precision in case
// mesh_vertex_lines_in_order, corners that are no vertex numbers in case
// mesh_face_lines_as_exported (tests/data/cases).
#include "convert/mesh_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace kestrun::testing {
namespace {

TEST(MeshWriter, WritesTheDocumentedThreeVertexTwoFaceMesh) {
  const std::vector<MeshVertex> vertices = {{-10, -10, 0}, {10, -10, 0}, {0.5F, 0.1234F, 7}};
  const std::vector<MeshFace> faces = {{0, 1, 2}, {2, 1, 0}};
  const std::string text = written_by([&](MaWriter& out) {
    write_vertices(out, 3, vertices);
    write_edges_and_faces(out, 2, faces);
  });
  EXPECT_EQ(text,
            " setAttr -s 3 \".vt[0:2]\"\n"
            "                 -10.000000 -10.000000 0.000000\n"
            "                 10.000000 -10.000000 0.000000\n"
            "                 0.500000 0.123400 7.000000\n"
            ";\n"
            " setAttr -s 6 \".ed[0:5]\"\n"
            "                  0 1 1\n"
            "                 1 2 1\n"
            "                 2 0 1\n"
            "\n"
            "                 2 1 1\n"
            "                 1 0 1\n"
            "                 0 2 1\n"
            "\n"
            ";\n"
            "\n"
            " setAttr -s 2 \".fc[0:1]\" -type \"polyFaces\" \n"
            "\n"
            "  f 3 0 1 2\n"
            " f 3 3 4 5\n"
            ";\n"
            "\n");
}

TEST(MeshWriter, EntriesNoLineFilledAreZeros) {
  const std::vector<MeshVertex> vertices = {{1, 2, 3}};
  EXPECT_EQ(written_by([&](MaWriter& out) { write_vertices(out, 2, vertices); }),
            " setAttr -s 2 \".vt[0:1]\"\n"
            "                 1.000000 2.000000 3.000000\n"
            "                 0.000000 0.000000 0.000000\n;\n");
  const std::vector<MeshFace> faces = {{7, 8, 9}};
  const std::string text = written_by([&](MaWriter& out) { write_edges_and_faces(out, 2, faces); });
  EXPECT_NE(text.find("                 9 7 1\n\n                 0 0 1\n"), std::string::npos);
  EXPECT_NE(text.find(" f 3 3 4 5\n;\n\n"), std::string::npos);
}

TEST(MeshWriter, EdgeCountsBeyond32BitsDoNotWrap) {
  FailingSink sink(/*failing_write=*/2);  // Keeps the first bytes written.
  MaWriter out(sink, 512);
  EXPECT_THROW(write_edges_and_faces(out, 2'000'000'000, {}), IoFailure);
  EXPECT_EQ(sink.contents.substr(0, sink.contents.find('\n')),
            " setAttr -s 6000000000 \".ed[0:5999999999]\"");
}

}  // namespace
}  // namespace kestrun::testing
