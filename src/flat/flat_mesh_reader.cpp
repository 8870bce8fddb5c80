#include "flat/flat_mesh_reader.h"

#include <algorithm>
#include <array>
#include <vector>

#include "base/error.h"
#include "flat/block_walk.h"
#include "flat/flat_mesh_writer.h"
#include "flat/value_reader.h"

namespace kestrun::flat {
namespace {

/// What the MESH walk acts on.
constexpr KindSet kMeshEntries = {TokenKind::MeshNumVertex,  TokenKind::MeshNumFaces,
                                  TokenKind::MeshVertexList, TokenKind::MeshFaceList,
                                  TokenKind::MeshNormals,    TokenKind::Rbrace};

/// The counts and tables of one MESH block; the writers fill the entries that
/// no line filled with zeros.
struct MeshStore {
  std::int32_t vertex_count = 0;
  std::int32_t face_count = 0;
  std::vector<MeshVertex>& vertices;
  std::vector<MeshFace>& faces;
};

/// Reads the integer after a count keyword (code 4 if there is none). A
/// negative count counts as 0; a count met again starts a new, empty table.
template <class Entry>
void read_count(Conversion& conversion, std::int32_t& count, std::vector<Entry>& table) {
  Tokenizer& tokens = conversion.tokens;
  tokens.next_token();
  if (tokens.kind() != TokenKind::Integer) {
    throw Error(ErrorCode::ConversionFailed);
  }
  count = std::max(tokens.token().integer, 0);
  table.clear();
  tokens.next_token();
}

/// Reads a list (entered on its keyword) into `table`: the n-th line that
/// starts with `line_keyword` fills entry n through `read_line`, while the
/// count has room for it; lines beyond are read and not stored. Every other
/// token is stepped over. Returns on the list's closing brace or the end.
template <class Entry, class ReadLine>
void read_list(Conversion& conversion, TokenKind line_keyword, std::int32_t count, std::vector<Entry>& table,
               ReadLine read_line) {
  Tokenizer& tokens = conversion.tokens;
  enter_block(tokens);
  const KindSet next_line = {line_keyword, TokenKind::Rbrace};
  std::size_t entry = 0;  // Lines are numbered from 0 in every list.
  while (inside_block(tokens)) {
    if (tokens.kind() == line_keyword) {
      const Entry value = read_line(tokens);
      if (entry < static_cast<std::size_t>(count)) {
        if (entry < table.size()) {
          table[entry] = value;
        } else {
          table.push_back(value);  // Memory follows the lines, not the count.
        }
        ++entry;
      }
    }
    tokens.next_token_until(next_line);
  }
}

// A vertex line: the keyword, the vertex number (not used), three coordinates.
MeshVertex read_vertex_line(Tokenizer& tokens) {
  std::array<Tokenizer::Number, 4> numbers;
  if (tokens.next_numbers(numbers)) {
    return MeshVertex{real_value(numbers[1]), real_value(numbers[2]), real_value(numbers[3])};
  }
  tokens.next_token();
  const auto [x, y, z] = read_triple(tokens);
  return MeshVertex{x, y, z};
}

// A face line counts tokens: number, colon, "A", colon, corner; then "B",
// colon, corner; then "C", colon, corner. The rest of the line is stepped
// over by the list loop, one token at a time.
MeshFace read_face_line(Tokenizer& tokens) {
  if (const auto corners = tokens.next_face_corners()) {
    return MeshFace{(*corners)[0], (*corners)[1], (*corners)[2]};
  }
  const auto skip = [&tokens](int count) {
    for (int i = 0; i < count; ++i) tokens.next_token();
  };
  MeshFace face;
  skip(4);
  face.a = read_integer(tokens);
  skip(2);
  face.b = read_integer(tokens);
  skip(2);
  face.c = read_integer(tokens);
  return face;
}

void read_vertex_list(Conversion& conversion, MeshStore& mesh) {
  read_list(conversion, TokenKind::MeshVertex, mesh.vertex_count, mesh.vertices, read_vertex_line);
  write_vertices(conversion.out, mesh.vertex_count, mesh.vertices);
  conversion.tokens.next_token();
}

void read_face_list(Conversion& conversion, MeshStore& mesh) {
  read_list(conversion, TokenKind::MeshFace, mesh.face_count, mesh.faces, read_face_line);
  write_edges_and_faces(conversion.out, mesh.face_count, mesh.faces);
  conversion.tokens.next_token();
}

}  // namespace

void read_mesh(Conversion& conversion) {
  Tokenizer& tokens = conversion.tokens;
  enter_block(tokens);
  MeshTables& tables = conversion.mesh_tables;
  tables.vertices.clear();  // Every MESH block starts with empty tables.
  tables.faces.clear();
  MeshStore mesh{0, 0, tables.vertices, tables.faces};
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
        tokens.next_token_until(kMeshEntries);
        break;
    }
  }
}

}  // namespace kestrun::flat
