#include "reader/scene_reader.h"

#include <algorithm>
#include <optional>
#include <string>

#include "base/error.h"
#include "reader/part_readers.h"

namespace kestrun::reader {
namespace {

void check_header(Lexer& lexer, Warnings& warnings) {
  // A byte-order mark of UTF-16 begins a file the user can resave as text.
  const bool utf16 = lexer.type() == TokenType::Word &&
                     (lexer.text().starts_with("\xFF\xFE") || lexer.text().starts_with("\xFE\xFF"));
  // The keyword may follow up to ten other tokens (a byte-order mark, say).
  for (int read = 0; read < 11; ++read) {
    if (lexer.type() == TokenType::Keyword && lexer.keyword() == Keyword::AsciiExport) {
      lexer.next();
      if (lexer.type() != TokenType::Number || lexer.number() != 200.0) {
        warnings.warn("the file does not say it is of version 200; it is read as if it were");
      }
      return;
    }
    if (lexer.type() == TokenType::End) break;
    lexer.next();
  }
  if (utf16)
    warnings.warn("the file is UTF-16 text, which Kestrun does not read; save it as plain (ANSI) text");
  throw Error(ErrorCode::NotAseText);
}

SceneTiming read_scene_block(BlockReader& reader) {
  SceneTiming timing;
  const auto setting = [&reader](std::string_view what, std::int32_t& field) {
    const std::int64_t value = reader.integer(what);
    if (value <= INT32_MIN || value >= INT32_MAX) {
      reader.note(std::string(what) + " is out of range; it is left at " + std::to_string(field));
      return;
    }
    field = static_cast<std::int32_t>(value);
  };
  reader.read_block(spelling(Keyword::Scene), [&](Keyword keyword) {
    switch (keyword) {
      case Keyword::SceneFirstFrame:
        setting(spelling(Keyword::SceneFirstFrame), timing.first_frame);
        timing.has_range = true;
        break;
      case Keyword::SceneLastFrame:
        setting(spelling(Keyword::SceneLastFrame), timing.last_frame);
        timing.has_range = true;
        break;
      case Keyword::SceneFrameSpeed:
        setting(spelling(Keyword::SceneFrameSpeed), timing.frame_speed);
        break;
      case Keyword::SceneTicksPerFrame:
        setting(spelling(Keyword::SceneTicksPerFrame), timing.ticks_per_frame);
        break;
      default:
        break;
    }
  });
  if (timing.ticks_per_frame <= 0) {
    reader.note("SCENE_TICKSPERFRAME is not positive; 160 is taken");
    timing.ticks_per_frame = 160;
  }
  if (timing.frame_speed <= 0) {
    reader.note("SCENE_FRAMESPEED is not positive; 30 is taken");
    timing.frame_speed = 30;
  }
  return timing;
}

LightType light_type(std::string_view word) {
  if (word == "Omni") return LightType::Omni;
  if (word == "Directional") return LightType::Directional;
  if (word == "Target") return LightType::TargetSpot;
  return LightType::FreeSpot;
}

SceneObject read_object(BlockReader& reader, ObjectKind kind) {
  SceneObject object;
  object.kind = kind;
  std::int64_t declared_lines = -1;
  const auto property = [&reader](std::string_view what, std::optional<bool>& into) {
    into = reader.integer(what) != 0;
  };
  reader.read_block(block_name(kind), [&](Keyword keyword) {
    switch (keyword) {
      case Keyword::NodeName:
        object.name = reader.text(spelling(Keyword::NodeName));
        break;
      case Keyword::NodeParent:
        object.parent = reader.text(spelling(Keyword::NodeParent));
        break;
      case Keyword::NodeTm: {
        NodeTransform transform = read_node_tm(reader);
        if (names_target(transform.name, object)) {
          object.target = std::move(transform);
        } else if (!object.transform) {
          object.transform = std::move(transform);
        } else {
          reader.note("a further NODE_TM is left out");
        }
        break;
      }
      case Keyword::Mesh:
        if (object.mesh) reader.note("a further MESH block replaces the one before");
        object.mesh = read_mesh(reader);
        break;
      case Keyword::MaterialRef:
        object.material_ref = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(reader.integer(spelling(Keyword::MaterialRef)), INT32_MIN, INT32_MAX));
        break;
      case Keyword::TmAnimation:
        read_tm_animation(reader, object);
        break;
      case Keyword::LightType:
        object.light.type = light_type(reader.text(spelling(Keyword::LightType)));
        break;
      case Keyword::LightShadows:
        object.light.shadows = reader.text(spelling(Keyword::LightShadows));
        break;
      case Keyword::LightSettings:
        read_light_settings(reader, object.light);
        break;
      case Keyword::CameraSettings:
        read_camera_settings(reader, object.camera);
        break;
      case Keyword::LightAnimation:
        if (!object.light_animation.empty()) reader.note("a further LIGHT_ANIMATION replaces the one before");
        object.light_animation = read_light_animation(reader, object.light);
        break;
      case Keyword::CameraAnimation:
        if (!object.camera_animation.empty())
          reader.note("a further CAMERA_ANIMATION replaces the one before");
        object.camera_animation = read_camera_animation(reader, object.camera);
        break;
      case Keyword::MeshAnimation:
        if (!object.mesh_animation.empty()) reader.note("a further MESH_ANIMATION replaces the one before");
        object.mesh_animation = read_mesh_animation(reader);
        break;
      case Keyword::NodeVisibilityTrack:
        if (!object.visibility.keys.empty())
          reader.note("a further NODE_VISIBILITY_TRACK replaces the one before");
        object.visibility = read_visibility_track(reader);
        break;
      case Keyword::ShapeLineCount:
        declared_lines = reader.integer(spelling(Keyword::ShapeLineCount));
        break;
      case Keyword::ShapeLine:
        reader.integer(spelling(Keyword::ShapeLine));
        object.shape_lines.push_back(read_shape_line(reader));
        break;
      case Keyword::PropCastShadow:
        property(spelling(Keyword::PropCastShadow), object.properties.casts_shadows);
        break;
      case Keyword::PropRecvShadow:
        property(spelling(Keyword::PropRecvShadow), object.properties.receives_shadows);
        break;
      case Keyword::PropMotionBlur:
        property(spelling(Keyword::PropMotionBlur), object.properties.motion_blur);
        break;
      default:
        break;
    }
  });
  if (declared_lines >= 0 && static_cast<std::uint64_t>(declared_lines) != object.shape_lines.size()) {
    reader.note("SHAPE_LINECOUNT says " + std::to_string(declared_lines) + " but the shape has " +
                std::to_string(object.shape_lines.size()) + " SHAPE_LINE blocks; those read are taken");
  }
  return object;
}

/// Whether the top-level statement of `keyword` hands a part to the sink.
bool makes_part(Keyword keyword) {
  switch (keyword) {
    case Keyword::Group:
    case Keyword::Scene:
    case Keyword::MaterialList:
    case Keyword::GeomObject:
    case Keyword::HelperObject:
    case Keyword::ShapeObject:
    case Keyword::LightObject:
    case Keyword::CameraObject:
      return true;
    default:
      return false;
  }
}

/// The statements outside every object. A GROUP's objects are read at this
/// level too, counting its braces: groups nest without recursion.
class TopLevel {
 public:
  TopLevel(BlockReader& reader, SceneSink& sink) : reader_(reader), sink_(sink) {}

  void read_statements() {
    Lexer& lexer = reader_.lexer();
    std::uint64_t open_groups = 0;
    for (;;) {
      switch (lexer.type()) {
        case TokenType::End:
          give_group_head();
          if (open_groups > 0) reader_.note("the file ends inside a GROUP");
          reader_.warnings().flush("");
          return;
        case TokenType::CloseBrace:
          give_group_head();
          if (open_groups > 0) {
            --open_groups;
          } else {
            reader_.note("a \"}\" that closes no block is passed over");  // On the brace's line.
          }
          lexer.next();
          break;
        case TokenType::Keyword: {
          if (!sink_.wants_more()) return;
          const Keyword keyword = lexer.keyword();
          reader_.begin_statement();
          lexer.next();
          // What was noted between parts is told before the next part, each
          // kind once with its count: a million stray braces make one line.
          if (makes_part(keyword)) reader_.warnings().flush("");
          if (keyword == Keyword::Group) {
            open_groups += group_head() ? 1 : 0;
          } else {
            statement(keyword);
            reader_.finish_statement();
          }
          break;
        }
        default:
          lexer.next();
          break;
      }
    }
  }

 private:
  void statement(Keyword keyword) {
    const bool object_block = keyword == Keyword::GeomObject || keyword == Keyword::HelperObject ||
                              keyword == Keyword::ShapeObject || keyword == Keyword::LightObject ||
                              keyword == Keyword::CameraObject;
    if (!object_block) give_group_head();
    switch (keyword) {
      case Keyword::Scene:
        sink_.on_timing(read_scene_block(reader_));
        break;
      case Keyword::MaterialList:
        sink_.on_materials(read_material_list(reader_));
        break;
      case Keyword::GeomObject:
        object(ObjectKind::Geometry);
        break;
      case Keyword::HelperObject:
        object(ObjectKind::Helper);
        break;
      case Keyword::ShapeObject:
        object(ObjectKind::Shape);
        break;
      case Keyword::LightObject:
        object(ObjectKind::Light);
        break;
      case Keyword::CameraObject:
        object(ObjectKind::Camera);
        break;
      default:
        break;
    }
  }

  // What was noted while a part was read goes with it to the sink, which
  // tells it with what it notes itself, once the part is written.
  void object(ObjectKind kind) {
    SceneObject read = read_object(reader_, kind);
    // 3ds Max writes a group's own node, a helper of the group's name,
    // first in its block: the head and that helper are one node.
    if (group_head_ && kind == ObjectKind::Helper && read.name == group_head_->name) group_head_.reset();
    give_group_head();
    sink_.on_object(std::move(read));
  }

  /// *GROUP "name" {: the head becomes a node of its own, unless the
  /// group's helper follows. Returns true if its block was entered.
  bool group_head() {
    give_group_head();
    group_head_.emplace();
    group_head_->kind = ObjectKind::Group;
    group_head_->name = reader_.text(spelling(Keyword::Group));
    if (!reader_.take(TokenType::OpenBrace)) {
      reader_.note("GROUP has no block in braces");
      give_group_head();
      return false;
    }
    return true;
  }

  /// Hands on a group head still waiting, before what was read after it
  /// (whose warnings stay with it).
  void give_group_head() {
    if (!group_head_) return;
    std::vector<Warnings::Pending> later = reader_.warnings().take_pending();
    sink_.on_object(std::move(*group_head_));
    group_head_.reset();
    reader_.warnings().restore(std::move(later));
  }

  BlockReader& reader_;
  SceneSink& sink_;
  std::optional<SceneObject> group_head_;
};

}  // namespace

void read_ase_scene(ByteSource& input, SceneSink& sink, Warnings& warnings) {
  Lexer lexer(input);
  check_header(lexer, warnings);
  BlockReader reader(lexer, warnings);
  TopLevel(reader, sink).read_statements();
}

}  // namespace kestrun::reader
