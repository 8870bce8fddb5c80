// Where each node goes in the hierarchy, and the transform it gets there.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "extended/maya_output.h"
#include "model/transform_math.h"

namespace kestrun {

struct Placement {
  std::string name;    // The node's Maya name.
  std::string parent;  // The Maya node it is created under; empty at the top level.
  Matrix43 local;      // Its transform relative to that node.
};

/// Keeps one small entry per node (its names and world transform) and
/// places every node under its parent's transform. A parent named but not
/// yet seen leaves the node at the top level with its world placement; if
/// the parent comes later, finish() moves the node under it, keeping its
/// world placement. Nodes that would become their own ancestors stay where
/// they are. Without a root every top-level node stands at the scene's top.
class NodePlacer {
 public:
  NodePlacer(MayaOutput& output, std::string root) : output_(output), root_(std::move(root)) {}

  /// Places a node named `source_name` in the file, under `parent_source`
  /// (empty: none), whose world transform is `world`.
  Placement place(std::string_view source_name, std::string_view parent_source, const Matrix43& world);

  /// Enters a node of the file that is not written (its category is off), so
  /// that its children are not told their parent is missing.
  void pass_over(std::string_view source_name);

  /// Makes `root` the node that top-level nodes are created under.
  void set_root(std::string root) { root_ = std::move(root); }

  /// Moves the nodes whose parent came later under it, and tells the user
  /// about parents that never came.
  void finish();

 private:
  struct Entry {
    std::string source;
    std::string maya;  // Empty for a node that is not written.
    Matrix43 world;
    int parent = -1;  // Index of the parent entry, once placed under it.
    std::string awaited_parent;
  };

  int find(std::string_view source, int before) const;
  /// The tree a node belongs to (union-find over the parent links): a
  /// parent in the node's own tree would close a loop.
  int tree_of(int node);
  void join(int child, int parent) { tree_[static_cast<std::size_t>(tree_of(child))] = tree_of(parent); }

  MayaOutput& output_;
  std::string root_;
  std::vector<Entry> entries_;
  std::vector<int> tree_;
  std::unordered_map<std::string, std::vector<int>> by_source_;  // Indices in file order.
};

/// Writes a transform node with the channels of `local` (those that are
/// not at their defaults).
void write_transform(MaWriter& out, std::string_view name, std::string_view parent, const Matrix43& local);

/// The setAttr lines of `local`'s channels, for the node created last (empty
/// `node`) or, after a "parent" command, for the node `node`.
void write_channels(MaWriter& out, std::string_view node, const Matrix43& local);

}  // namespace kestrun
