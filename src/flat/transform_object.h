// The walk that lights and cameras share: a transform from NODE_TM, a shape
// node, and the shape's settings.
#pragma once

#include <string_view>

#include "base/format.h"
#include "flat/conversion.h"

namespace kestrun::flat {

/// What distinguishes one kind of transform object from another.
struct TransformObjectKind {
  /// The block that, met by the block walk itself, starts a shape of its own.
  TokenKind settings_block;
  /// Whether each NODE_NAME enters the name in the light list.
  bool listed_as_light;
  /// Writes the shape node's creation and its fixed attribute lines.
  void (*write_shape)(MaWriter& out, const QuotedName& name);
  /// Acts on the current token inside the settings if it is one of the
  /// kind's setting keywords (leaving the token where the setting ends) and
  /// returns true; returns false for every other token.
  bool (*write_setting)(Conversion& conversion);
  /// The progress line printed when the block has been walked.
  FormatString<ShownName> progress;
};

/// Converts one LIGHTOBJECT or CAMERAOBJECT block, entered on its keyword and
/// left on the token that ended its walk (its closing brace, or the end).
void convert_transform_object(Conversion& conversion, const TransformObjectKind& kind);

}  // namespace kestrun::flat
