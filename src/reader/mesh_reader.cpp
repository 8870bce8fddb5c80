// MESH blocks: the lists of a mesh, each line checked as it is read.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "reader/part_readers.h"

namespace kestrun::reader {
namespace {

constexpr std::uint32_t kNoIndex = std::numeric_limits<std::uint32_t>::max();

/// Tables are made ready for at most this many entries before lines fill
/// them, and for no more than the input left can fill (a line takes at least
/// kLeastLineBytes: "*MESH_FACE" and a blank); room the lines did not fill
/// is given back when the MESH block ends. Memory follows the lines, never
/// a declared count alone.
constexpr std::int64_t kMaxReserve = std::int64_t{1} << 12;
constexpr std::uint64_t kLeastLineBytes = 11;

/// Gives back the room of `table` that its lines did not fill.
template <class Table>
void give_back_room(Table& table) {
  if (table.capacity() > table.size()) table.shrink_to_fit();
}

class MeshReader {
 public:
  explicit MeshReader(BlockReader& reader) : reader_(reader), lexer_(reader.lexer()) {}

  Mesh read() {
    reader_.read_block("MESH", [this](Keyword keyword) { statement(keyword, main_channel()); });
    check_count(declared_vertices_, mesh_.vertices.size(), "MESH_NUMVERTEX", "vertices");
    check_count(declared_faces_, mesh_.faces.size(), "MESH_NUMFACES", "faces");
    give_back_room(mesh_.vertices);
    give_back_room(mesh_.faces);
    return std::move(mesh_);
  }

 private:
  Mesh::Channel& main_channel() { return channel(1); }

  Mesh::Channel& channel(int number) {
    for (Mesh::Channel& existing : mesh_.channels) {
      if (existing.number == number) return existing;
    }
    mesh_.channels.push_back(Mesh::Channel{number, {}, {}});
    return mesh_.channels.back();
  }

  void statement(Keyword keyword, Mesh::Channel& texture) {
    switch (keyword) {
      case Keyword::MeshNumVertex:
        declared_vertices_ = reserve(mesh_.vertices, "MESH_NUMVERTEX");
        break;
      case Keyword::MeshNumFaces:
        declared_faces_ = reserve(mesh_.faces, "MESH_NUMFACES");
        break;
      case Keyword::MeshVertexList:
        read_vertices();
        break;
      case Keyword::MeshFaceList:
        read_faces();
        break;
      case Keyword::MeshTVertList:
        read_coordinates(texture);
        break;
      case Keyword::MeshTFaceList:
        read_index_faces("MESH_TFACELIST", Keyword::MeshTFace, texture.faces);
        break;
      case Keyword::MeshMappingChannel: {
        const std::int64_t number = reader_.integer("MESH_MAPPINGCHANNEL");
        if (number < 2 || number > 99) {
          reader_.note("MESH_MAPPINGCHANNEL " + std::to_string(number) +
                       " is no extra map channel; it is left out");
          break;
        }
        Mesh::Channel& extra = channel(static_cast<int>(number));
        reader_.read_block("MESH_MAPPINGCHANNEL", [&](Keyword inner) {
          if (inner == Keyword::MeshTVertList || inner == Keyword::MeshTFaceList) statement(inner, extra);
        });
        break;
      }
      case Keyword::MeshCVertList:
        read_colors();
        break;
      case Keyword::MeshCFaceList:
        read_index_faces("MESH_CFACELIST", Keyword::MeshCFace, mesh_.color_faces);
        break;
      case Keyword::MeshNormals:
        read_normals();
        break;
      default:
        break;
    }
  }

  template <class Table>
  std::int64_t reserve(Table& table, std::string_view what) {
    const std::int64_t count = reader_.integer(what);
    if (count < 0) {
      reader_.note(std::string(what) + " is negative");
      return -1;
    }
    const auto fillable = static_cast<std::int64_t>(std::min<std::uint64_t>(
        lexer_.bytes_left() / kLeastLineBytes, static_cast<std::uint64_t>(kMaxReserve)));
    table.reserve(static_cast<std::size_t>(std::min(count, fillable)));
    return count;
  }

  void check_count(std::int64_t declared, std::size_t read, std::string_view what, std::string_view things) {
    if (declared >= 0 && static_cast<std::uint64_t>(declared) != read) {
      reader_.note(std::string(what) + " says " + std::to_string(declared) + " but the list has " +
                   std::to_string(read) + " " + std::string(things) + "; those of the list are taken");
    }
  }

  /// The number at the start of a list line, checked against its place.
  void line_number(std::string_view what, std::size_t expected) {
    const std::int64_t number = reader_.integer(what);
    if (number != static_cast<std::int64_t>(expected) && !out_of_order_noted_) {
      reader_.note(std::string(what) + " lines are not numbered in order; they are taken in file order");
      out_of_order_noted_ = true;
    }
  }

  std::uint32_t index(std::string_view what) {
    const std::int64_t value = reader_.integer(what);
    if (value < 0 || value >= kNoIndex) return kNoIndex;  // Out of every list: the writer drops it.
    return static_cast<std::uint32_t>(value);
  }

  void read_vertices() {
    reader_.read_block("MESH_VERTEX_LIST", [this](Keyword keyword) {
      if (keyword != Keyword::MeshVertex) return;
      line_number("MESH_VERTEX", mesh_.vertices.size());
      mesh_.vertices.push_back(reader_.vec3("MESH_VERTEX"));
    });
  }

  void read_faces() {
    reader_.read_block("MESH_FACE_LIST", [this](Keyword keyword) {
      switch (keyword) {
        case Keyword::MeshFace:
          read_face();
          break;
        case Keyword::MeshSmoothing:
          if (!mesh_.faces.empty()) mesh_.faces.back().smoothing = read_smoothing();
          break;
        case Keyword::MeshMtlId:
          if (!mesh_.faces.empty()) {
            mesh_.faces.back().material_id = static_cast<std::int32_t>(
                std::clamp<std::int64_t>(reader_.integer("MESH_MTLID"), 0, INT32_MAX));
          }
          break;
        default:
          break;
      }
    });
  }

  /// "*MESH_FACE n: A: a B: b C: c AB: .. BC: .. CA: ..", the labels in any order.
  void read_face() {
    line_number("MESH_FACE", mesh_.faces.size());
    reader_.take(TokenType::Colon);
    Mesh::Face face;
    face.corners = {kNoIndex, kNoIndex, kNoIndex};
    while (lexer_.type() == TokenType::Word) {
      const std::string_view label = lexer_.text();
      const int corner = label == "A" ? 0 : label == "B" ? 1 : label == "C" ? 2 : -1;
      lexer_.next();
      reader_.take(TokenType::Colon);
      if (lexer_.type() != TokenType::Number) break;
      if (corner >= 0) {
        face.corners[static_cast<std::size_t>(corner)] = index("MESH_FACE corner");
      } else {
        lexer_.next();  // An edge flag: Maya finds the edges itself.
      }
    }
    mesh_.faces.push_back(face);
  }

  /// Smoothing groups "1,2,3", each 1 to 32; an empty list is no group.
  std::uint32_t read_smoothing() {
    std::uint32_t groups = 0;
    while (lexer_.type() == TokenType::Number) {
      const double group = lexer_.number();
      lexer_.next();
      if (group >= 1 && group <= 32 && group == std::trunc(group)) {
        groups |= std::uint32_t{1} << (static_cast<int>(group) - 1);
      } else {
        reader_.note("a smoothing group outside 1 to 32 is left out");
      }
      if (!reader_.take(TokenType::Comma)) break;
    }
    return groups;
  }

  void read_coordinates(Mesh::Channel& texture) {
    reader_.read_block("MESH_TVERTLIST", [&](Keyword keyword) {
      if (keyword != Keyword::MeshTVert) return;
      line_number("MESH_TVERT", texture.coordinates.size());
      const Vec3 uvw = reader_.vec3("MESH_TVERT");
      texture.coordinates.push_back({static_cast<float>(uvw.x), static_cast<float>(uvw.y)});
    });
  }

  void read_colors() {
    reader_.read_block("MESH_CVERTLIST", [this](Keyword keyword) {
      if (keyword != Keyword::MeshVertCol) return;
      line_number("MESH_VERTCOL", mesh_.colors.size());
      const Vec3 rgb = reader_.vec3("MESH_VERTCOL");
      mesh_.colors.push_back(
          {static_cast<float>(rgb.x), static_cast<float>(rgb.y), static_cast<float>(rgb.z)});
    });
  }

  /// A list of "*KEY face a b c" lines: a face of a texture or colour channel.
  void read_index_faces(std::string_view block, Keyword line,
                        std::vector<std::array<std::uint32_t, 3>>& faces) {
    if (!faces.empty()) reader_.note(std::string(block) + " comes twice; the later one is taken");
    faces.clear();
    out_of_order_noted_ = false;
    reader_.read_block(block, [&](Keyword keyword) {
      if (keyword != line) return;
      line_number(block, faces.size());
      std::array<std::uint32_t, 3> corners{};
      for (std::uint32_t& corner : corners) corner = index(block);
      faces.push_back(corners);
    });
  }

  /// MESH_FACENORMAL f ..., then MESH_VERTEXNORMAL v nx ny nz for corners A, B, C.
  void read_normals() {
    std::vector<std::array<float, 3>>& normals = mesh_.corner_normals;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::size_t face = 0, corner = 3;
    reader_.read_block("MESH_NORMALS", [&](Keyword keyword) {
      if (keyword == Keyword::MeshFaceNormal) {
        const std::int64_t number = reader_.integer("MESH_FACENORMAL");
        // A face in order, or one already given: memory follows the lines.
        if (number < 0 || static_cast<std::size_t>(number) > normals.size() / 3) {
          reader_.note("MESH_FACENORMAL numbers skip faces; their normals are left out");
          corner = 3;
          return;
        }
        face = static_cast<std::size_t>(number);
        if (face * 3 == normals.size()) normals.resize(normals.size() + 3, {nan, nan, nan});
        corner = 0;
      } else if (keyword == Keyword::MeshVertexNormal) {
        reader_.integer("MESH_VERTEXNORMAL");
        const Vec3 n = reader_.vec3("MESH_VERTEXNORMAL");
        if (corner < 3) {
          normals[face * 3 + corner++] = {static_cast<float>(n.x), static_cast<float>(n.y),
                                          static_cast<float>(n.z)};
        } else {
          reader_.note("a MESH_VERTEXNORMAL beyond its face's three corners is left out");
        }
      }
    });
  }

  BlockReader& reader_;
  Lexer& lexer_;
  Mesh mesh_;
  std::int64_t declared_vertices_ = -1;
  std::int64_t declared_faces_ = -1;
  bool out_of_order_noted_ = false;
};

}  // namespace

Mesh read_mesh(BlockReader& reader) { return MeshReader(reader).read(); }

}  // namespace kestrun::reader
