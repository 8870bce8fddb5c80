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
    reader_.read_block(spelling(Keyword::Mesh),
                       [this](Keyword keyword) { statement(keyword, main_channel()); });
    check_count(declared_vertices_, mesh_.vertices.size(), spelling(Keyword::MeshNumVertex), "vertices");
    check_count(declared_faces_, mesh_.faces.size(), spelling(Keyword::MeshNumFaces), "faces");
    give_back_room(mesh_.vertices);
    give_back_room(mesh_.faces);
    match_normals();
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
      case Keyword::TimeValue:
        mesh_.time = reader_.number(spelling(Keyword::TimeValue));
        break;
      case Keyword::MeshNumVertex:
        declared_vertices_ = reserve(mesh_.vertices, spelling(Keyword::MeshNumVertex));
        break;
      case Keyword::MeshNumFaces:
        declared_faces_ = reserve(mesh_.faces, spelling(Keyword::MeshNumFaces));
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
        read_index_faces(spelling(Keyword::MeshTFaceList), Keyword::MeshTFace, texture.faces);
        break;
      case Keyword::MeshMappingChannel: {
        const std::int64_t number = reader_.integer(spelling(Keyword::MeshMappingChannel));
        if (number < 2 || number > 99) {
          reader_.note("MESH_MAPPINGCHANNEL " + std::to_string(number) +
                       " is no extra map channel; it is left out");
          break;
        }
        Mesh::Channel& extra = channel(static_cast<int>(number));
        reader_.read_block(spelling(Keyword::MeshMappingChannel), [&](Keyword inner) {
          if (inner == Keyword::MeshTVertList || inner == Keyword::MeshTFaceList) statement(inner, extra);
        });
        break;
      }
      case Keyword::MeshCVertList:
        read_colors();
        break;
      case Keyword::MeshCFaceList:
        read_index_faces(spelling(Keyword::MeshCFaceList), Keyword::MeshCFace, mesh_.color_faces);
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
    reader_.read_block(spelling(Keyword::MeshVertexList), [this](Keyword keyword) {
      if (keyword != Keyword::MeshVertex) return;
      line_number(spelling(Keyword::MeshVertex), mesh_.vertices.size());
      mesh_.vertices.push_back(reader_.vec3(spelling(Keyword::MeshVertex)));
    });
  }

  void read_faces() {
    reader_.read_block(spelling(Keyword::MeshFaceList), [this](Keyword keyword) {
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
                std::clamp<std::int64_t>(reader_.integer(spelling(Keyword::MeshMtlId)), 0, INT32_MAX));
          }
          break;
        default:
          break;
      }
    });
  }

  /// "*MESH_FACE n: A: a B: b C: c AB: .. BC: .. CA: ..", the labels in any order.
  void read_face() {
    line_number(spelling(Keyword::MeshFace), mesh_.faces.size());
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

  /// Smoothing groups "1,2,3", each 1 to 32; an empty list, or 0, is no group.
  std::uint32_t read_smoothing() {
    std::uint32_t groups = 0;
    while (lexer_.type() == TokenType::Number) {
      const double group = lexer_.number();
      lexer_.next();
      if (group >= 1 && group <= 32 && group == std::trunc(group)) {
        groups |= std::uint32_t{1} << (static_cast<int>(group) - 1);
      } else if (group != 0) {  // 0 is how several exporters write "no group".
        reader_.note("a smoothing group outside 1 to 32 is left out");
      }
      if (!reader_.take(TokenType::Comma)) break;
    }
    return groups;
  }

  void read_coordinates(Mesh::Channel& texture) {
    reader_.read_block(spelling(Keyword::MeshTVertList), [&](Keyword keyword) {
      if (keyword != Keyword::MeshTVert) return;
      line_number(spelling(Keyword::MeshTVert), texture.coordinates.size());
      const Vec3 uvw = reader_.vec3(spelling(Keyword::MeshTVert));
      texture.coordinates.push_back({static_cast<float>(uvw.x), static_cast<float>(uvw.y)});
    });
  }

  void read_colors() {
    reader_.read_block(spelling(Keyword::MeshCVertList), [this](Keyword keyword) {
      if (keyword != Keyword::MeshVertCol) return;
      line_number(spelling(Keyword::MeshVertCol), mesh_.colors.size());
      const Vec3 rgb = reader_.vec3(spelling(Keyword::MeshVertCol));
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

  /// MESH_FACENORMAL f nx ny nz, each followed by MESH_VERTEXNORMAL v nx ny
  /// nz lines that name their vertex: for the face's corners in any order
  /// (3ds Max writes A B C, Q3Map2 A C B), or, after the last face, one per
  /// vertex (Q3Map2's other layout). Matched to corners once the mesh is read.
  void read_normals() {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    bool in_order = true;
    reader_.read_block(spelling(Keyword::MeshNormals), [&](Keyword keyword) {
      if (keyword == Keyword::MeshFaceNormal) {
        const std::int64_t number = reader_.integer(spelling(Keyword::MeshFaceNormal));
        const Vec3 n = reader_.vec3(spelling(Keyword::MeshFaceNormal));
        // A face in order, or one already given: memory follows the lines.
        if (number < 0 || static_cast<std::size_t>(number) > mesh_.face_normals.size()) {
          if (in_order) reader_.note("MESH_FACENORMAL numbers skip faces; their normals are left out");
          in_order = false;
          normal_groups_.push_back({kNoIndex, normal_records_.size()});
          return;
        }
        const auto face = static_cast<std::size_t>(number);
        if (face == mesh_.face_normals.size()) mesh_.face_normals.push_back({nan, nan, nan});
        mesh_.face_normals[face] = {static_cast<float>(n.x), static_cast<float>(n.y),
                                    static_cast<float>(n.z)};
        normal_groups_.push_back({static_cast<std::uint32_t>(face), normal_records_.size()});
      } else if (keyword == Keyword::MeshVertexNormal) {
        const std::uint32_t vertex = index(spelling(Keyword::MeshVertexNormal));
        const Vec3 n = reader_.vec3(spelling(Keyword::MeshVertexNormal));
        normal_records_.push_back(
            {vertex, {static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z)}});
      }
    });
  }

  /// Gives every corner the normal that names its vertex: one after its
  /// face's MESH_FACENORMAL, else a vertex's own (more than three lines
  /// after one face, or lines before any); three lines that name none of
  /// their face's corners are taken in order, as older files mean them.
  void match_normals() {
    if (mesh_.face_normals.empty() && normal_records_.empty()) return;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::size_t faces = mesh_.faces.size();
    mesh_.face_normals.resize(faces, {nan, nan, nan});
    mesh_.corner_normals.assign(3 * faces, {nan, nan, nan});
    // Which records follow each face's MESH_FACENORMAL (the last one given).
    std::vector<std::pair<std::size_t, std::size_t>> group_of(faces, {0, 0});
    std::vector<std::array<float, 3>> by_vertex;
    std::vector<std::uint8_t> vertex_given;
    const auto add_vertex_normals = [&](std::size_t begin, std::size_t end) {
      by_vertex.resize(mesh_.vertices.size());
      vertex_given.resize(mesh_.vertices.size(), 0);
      for (std::size_t r = begin; r < end; ++r) {
        const NormalRecord& record = normal_records_[r];
        if (record.vertex < by_vertex.size()) {
          by_vertex[record.vertex] = record.normal;
          vertex_given[record.vertex] = 1;
        }
      }
    };
    const std::size_t first_group = normal_groups_.empty() ? normal_records_.size() : normal_groups_[0].first;
    if (first_group > 0) add_vertex_normals(0, first_group);
    for (std::size_t g = 0; g < normal_groups_.size(); ++g) {
      const std::size_t begin = normal_groups_[g].first;
      const std::size_t end =
          g + 1 < normal_groups_.size() ? normal_groups_[g + 1].first : normal_records_.size();
      if (end - begin > 3) add_vertex_normals(begin, end);
      if (normal_groups_[g].face < faces) group_of[normal_groups_[g].face] = {begin, end};
    }
    for (std::size_t f = 0; f < faces; ++f) {
      const auto [begin, end] = group_of[f];
      const auto& corners = mesh_.faces[f].corners;
      std::array<bool, 3> given{};
      std::uint8_t used = 0;  // Bits of the face's records already matched.
      for (std::size_t k = 0; k < 3; ++k) {
        for (std::size_t r = begin; r < end && r - begin < 8; ++r) {
          if ((used >> (r - begin) & 1U) == 0 && normal_records_[r].vertex == corners[k]) {
            mesh_.corner_normals[3 * f + k] = normal_records_[r].normal;
            used = static_cast<std::uint8_t>(used | 1U << (r - begin));
            given[k] = true;
            break;
          }
        }
        if (!given[k] && corners[k] < vertex_given.size() && vertex_given[corners[k]] != 0) {
          mesh_.corner_normals[3 * f + k] = by_vertex[corners[k]];
          given[k] = true;
        }
      }
      if (end - begin != 3 || (given[0] && given[1] && given[2])) continue;
      reader_.note("MESH_VERTEXNORMAL lines that name none of their face's corners are taken in order");
      std::size_t next = begin;
      for (std::size_t k = 0; k < 3; ++k) {
        if (given[k]) continue;
        while ((used >> (next - begin) & 1U) != 0) ++next;
        mesh_.corner_normals[3 * f + k] = normal_records_[next++].normal;
      }
    }
    normal_records_ = {};
    normal_groups_ = {};
  }

  struct NormalRecord {
    std::uint32_t vertex;
    std::array<float, 3> normal;
  };
  struct NormalGroup {
    std::uint32_t face;  // kNoIndex: a face number out of order.
    std::size_t first;   // Its first record.
  };

  BlockReader& reader_;
  Lexer& lexer_;
  Mesh mesh_;
  std::vector<NormalRecord> normal_records_;
  std::vector<NormalGroup> normal_groups_;
  std::int64_t declared_vertices_ = -1;
  std::int64_t declared_faces_ = -1;
  bool out_of_order_noted_ = false;
};

}  // namespace

Mesh read_mesh(BlockReader& reader) { return MeshReader(reader).read(); }

std::vector<Mesh> read_mesh_animation(BlockReader& reader) {
  std::vector<Mesh> meshes;
  reader.read_block(spelling(Keyword::MeshAnimation), [&](Keyword keyword) {
    if (keyword != Keyword::Mesh) return;
    Mesh mesh = read_mesh(reader);
    if (!mesh.time) {
      reader.note("a MESH in MESH_ANIMATION without a TIMEVALUE is left out");
    } else if (!meshes.empty() && !(*mesh.time > *meshes.back().time)) {
      reader.note("a MESH in MESH_ANIMATION not later than the one before is left out");
    } else {
      meshes.push_back(std::move(mesh));
    }
  });
  return meshes;
}

}  // namespace kestrun::reader
