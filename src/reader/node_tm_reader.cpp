// NODE_TM blocks.
#include "reader/part_readers.h"

namespace kestrun::reader {

NodeTransform read_node_tm(BlockReader& reader) {
  NodeTransform transform;
  bool rows[4] = {false, false, false, false};
  bool decomposed = false;
  Vec3 position, axis, scale{1, 1, 1}, scale_axis;
  double angle = 0.0, scale_angle = 0.0;
  reader.read_block(spelling(Keyword::NodeTm), [&](Keyword keyword) {
    switch (keyword) {
      case Keyword::NodeName:
        transform.name = reader.text(spelling(Keyword::NodeName));
        break;
      case Keyword::TmRow0:
      case Keyword::TmRow1:
      case Keyword::TmRow2:
      case Keyword::TmRow3: {
        const auto row = static_cast<int>(keyword) - static_cast<int>(Keyword::TmRow0);
        transform.world.rows[static_cast<std::size_t>(row)] = reader.vec3("TM_ROW");
        rows[row] = true;
        break;
      }
      case Keyword::TmPos:
        position = reader.vec3(spelling(Keyword::TmPos));
        decomposed = true;
        break;
      case Keyword::TmRotAxis:
        axis = reader.vec3(spelling(Keyword::TmRotAxis));
        decomposed = true;
        break;
      case Keyword::TmRotAngle:
        angle = reader.number(spelling(Keyword::TmRotAngle));
        decomposed = true;
        break;
      case Keyword::TmScale:
        scale = reader.vec3(spelling(Keyword::TmScale));
        decomposed = true;
        break;
      case Keyword::TmScaleAxis:
        scale_axis = reader.vec3(spelling(Keyword::TmScaleAxis));
        break;
      case Keyword::TmScaleAxisAng:
        scale_angle = reader.number(spelling(Keyword::TmScaleAxisAng));
        break;
      default:
        break;
    }
  });
  const bool any_row = rows[0] || rows[1] || rows[2] || rows[3];
  if (!any_row && decomposed) {
    // No matrix rows: the matrix from its parts, the stretch (along its
    // turned axes) then the rotation then the translation.
    transform.world = stretch_matrix(scale, scale_axis, scale_angle) * axis_angle_rows(axis, angle);
    transform.world.rows[3] = position;
  } else if (any_row && !(rows[0] && rows[1] && rows[2] && rows[3])) {
    reader.note("NODE_TM lacks some of its TM_ROW lines; those of the identity are taken");
  }
  return transform;
}

bool names_target(std::string_view name, const SceneObject& object) {
  constexpr std::string_view kSuffix = ".Target";
  if (!name.ends_with(kSuffix)) return false;
  return object.transform.has_value() ||
         (!object.name.empty() && name.substr(0, name.size() - kSuffix.size()) == object.name);
}

}  // namespace kestrun::reader
