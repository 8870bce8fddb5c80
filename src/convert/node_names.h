// NodeNameList: the names of the nodes the trailer connects, and mesh node creation.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrun {

struct Conversion;

/// One created node's name, appended `times` times in a row.
struct NodeNameEntry {
  std::string name;
  std::size_t times = 1;
};

/// Node names in the order they were appended; never shrinks, may repeat.
/// A name appended again right after itself only counts up its entry.
struct NodeNameList {
  std::vector<NodeNameEntry> entries;
};

/// Appends `name` at the end of `list`: a copy of it, or one more time of
/// the last entry if that has the same name. A light's NODE_TM can repeat its
/// name (up to 255 characters) for every few bytes of input; copies would
/// take many times the memory of the input.
void append_node_name(NodeNameList& list, std::string_view name);

/// Called on the quoted string after a GEOMOBJECT's NODE_NAME: makes it the
/// current node name, writes the transform and its mesh shape, and enters the
/// name in the mesh list. Reads no token.
void create_mesh_node(Conversion& conversion);

}  // namespace kestrun
