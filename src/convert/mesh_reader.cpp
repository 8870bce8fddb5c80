#include "convert/mesh_reader.h"

#include <algorithm>
#include <vector>

#include "convert/block_reading.h"
#include "convert/mesh_writer.h"
#include "convert/value_reader.h"
#include "driver/messages.h"

namespace kestrun {
namespace {

/// The tables of one MESH block. A table holds the entries that lines have
/// filled so far (never more than its count), so memory follows the lines
/// really present, not a declared count; the writers fill the rest with zeros.
struct MeshStore {
  std::int32_t vertex_count = 0;
  std::int32_t face_count = 0;
  std::vector<MeshVertex> vertices;
  std::vector<MeshFace> faces;
};

/// Stores `value` as entry `index` of `table`, if the count has room for it.
/// Lines are numbered from 0 in every list, so `index` is at most the size.
template <class Entry>
void store_entry(std::vector<Entry>& table, std::int32_t count, std::int32_t index, const Entry& value) {
  if (index >= count) {
    return;  // Lines beyond the count are read and not stored.
  }
  const auto slot = static_cast<std::size_t>(index);
  if (slot < table.size()) {
    table[slot] = value;
  } else {
    table.push_back(value);
  }
}

/// Reads the integer after a count keyword (code 4 if there is none). A
/// negative count counts as 0; a count met again starts a new, empty table.
template <class Entry>
void read_count(Conversion& conversion, std::int32_t& count, std::vector<Entry>& table) {
  Tokenizer& tokens = conversion.tokens;
  tokens.next_token();
  if (tokens.kind() != TokenKind::Integer) {
    report_fatal(conversion.console, ErrorCode::Fatal);
  }
  count = std::max(tokens.token().integer, 0);
  table.clear();
  tokens.next_token();
}

// A vertex line: the keyword, the vertex number (not used), three coordinates.
void read_vertex_list(Conversion& conversion, MeshStore& mesh) {
  Tokenizer& tokens = conversion.tokens;
  enter_block(conversion);
  std::int32_t entry = 0;
  while (inside_block(tokens)) {
    if (tokens.kind() == TokenKind::MeshVertex) {
      tokens.next_token();
      MeshVertex vertex;
      vertex.x = read_real(tokens);
      vertex.y = read_real(tokens);
      vertex.z = read_real(tokens);
      store_entry(mesh.vertices, mesh.vertex_count, entry, vertex);
      entry = entry < mesh.vertex_count ? entry + 1 : entry;  // Capped: it cannot overflow.
    }
    tokens.next_token();
  }
  write_vertices(conversion.out, mesh.vertex_count, mesh.vertices);
  conversion.console.flush_out();
  tokens.next_token();
}

// A face line counts tokens: number, colon, "A", colon, corner; then "B",
// colon, corner; then "C", colon, corner. The rest of the line is stepped
// over by the list loop, one token at a time.
void read_face_list(Conversion& conversion, MeshStore& mesh) {
  Tokenizer& tokens = conversion.tokens;
  enter_block(conversion);
  std::int32_t entry = 0;
  while (inside_block(tokens)) {
    if (tokens.kind() == TokenKind::MeshFace) {
      for (int skipped = 0; skipped < 4; ++skipped) tokens.next_token();
      MeshFace face;
      face.a = read_integer(tokens);
      for (int skipped = 0; skipped < 2; ++skipped) tokens.next_token();
      face.b = read_integer(tokens);
      for (int skipped = 0; skipped < 2; ++skipped) tokens.next_token();
      face.c = read_integer(tokens);
      store_entry(mesh.faces, mesh.face_count, entry, face);
      entry = entry < mesh.face_count ? entry + 1 : entry;  // Capped: it cannot overflow.
    }
    tokens.next_token();
  }
  write_edges_and_faces(conversion.out, mesh.face_count, mesh.faces);
  tokens.next_token();
}

}  // namespace

void read_mesh(Conversion& conversion) {
  Tokenizer& tokens = conversion.tokens;
  enter_block(conversion);
  MeshStore mesh;
  while (inside_block(tokens)) {
    switch (tokens.kind()) {
      case TokenKind::MeshNumVertex:
        read_count(conversion, mesh.vertex_count, mesh.vertices);
        break;
      case TokenKind::MeshNumFaces:
        read_count(conversion, mesh.face_count, mesh.faces);
        break;
      case TokenKind::MeshVertexList:
        read_vertex_list(conversion, mesh);
        break;
      case TokenKind::MeshFaceList:
        read_face_list(conversion, mesh);
        break;
      case TokenKind::MeshNormals:
        skip_to_first_closing_brace(tokens);
        break;
      default:
        tokens.next_token();
        break;
    }
  }
}

}  // namespace kestrun
