// SceneSummary: what the closing of a Maya ASCII file needs to know about the
// nodes written before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrun {

/// One node's name, entered `times` times in a row.
struct NodeNameEntry {
  std::string name;
  std::size_t times = 1;
};

/// Node names in the order they were entered; never shrinks, may repeat.
class NodeNameList {
 public:
  /// Enters `name` at the end: a copy of it, or one more time of the last
  /// entry if that has the same name. A light can repeat its name (up to 255
  /// characters) every few bytes of input; copies would take many times the
  /// memory of the input.
  void append(std::string_view name) {
    if (!entries_.empty() && entries_.back().name == name) {
      ++entries_.back().times;
      return;
    }
    entries_.push_back(NodeNameEntry{std::string(name)});
  }
  [[nodiscard]] const std::vector<NodeNameEntry>& entries() const { return entries_; }

 private:
  std::vector<NodeNameEntry> entries_;
};

struct SceneSummary {
  NodeNameList meshes;           // Shapes "<name>Shape1" joined to the initial shading group.
  NodeNameList lights;           // Lights "<name>Shape1" joined to the light list and light set.
  std::int32_t first_frame = 0;  // The playback range.
  std::int32_t last_frame = 0;
};

}  // namespace kestrun
