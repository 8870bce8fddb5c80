// Where each node goes in the hierarchy, and the transform it gets there.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "extended/animation_curves.h"
#include "extended/maya_output.h"
#include "model/animation_model.h"
#include "model/transform_math.h"

namespace kestrun::extended {

struct Placement {
  std::string name;    // The node's Maya name.
  std::string parent;  // The Maya node it is created under; empty at the top level.
  Matrix43 local;      // Its transform relative to that node.
  int index = -1;      // The node's entry in the placer.
};

/// How a written node moves as Maya plays it back: its channels and the
/// curves that drive some of them.
struct NodeMotion {
  Channels channels;
  std::vector<Curve> curves;
};

/// Keeps one small entry per node (its names and world transform) and
/// places every node under its parent's transform. A parent named but not
/// yet seen leaves the node at the top level with its world placement; if
/// the parent comes later, finish() moves the node under it, keeping its
/// world placement. Nodes that would become their own ancestors stay where
/// they are. Without a root every top-level node stands at the scene's top.
/// A node the switches leave out is written, as a plain transform with its
/// animation, once a written node hangs from it: its children's placement
/// and curves are relative to it.
class NodePlacer {
 public:
  /// Writes a node that was passed over as a plain transform, with its curves.
  using PlainWriter =
      std::function<void(const Placement&, std::string_view source_name, const NodeAnimation&)>;

  NodePlacer(MayaOutput& output, std::string root, PlainWriter write_plain)
      : output_(output), root_(std::move(root)), write_plain_(std::move(write_plain)) {}

  /// Places a node named `source_name` in the file, under `parent_source`
  /// (empty: none), whose world transform is `world`.
  Placement place(std::string_view source_name, std::string_view parent_source, const Matrix43& world);

  /// Enters a node of the file that is not written (its category is off):
  /// its children are not told their parent is missing, and if one is
  /// written, this node is written before it, with `animation`.
  void pass_over(std::string_view source_name, std::string_view parent_source, const Matrix43& world,
                 NodeAnimation animation);

  /// Keeps the motion of the written node `index`, for world_at, while the
  /// curves kept stay under a bound on memory (kMaxKeptKeys keys).
  void keep_motion(int index, const NodeMotion& motion);

  /// The world matrix of the written node `index` at `frame`, below the
  /// Y-up root, as Maya plays back its curves and its ancestors': nothing
  /// if the motion of a node on the way was not kept.
  [[nodiscard]] std::optional<Matrix43> world_at(int index, double frame, double frames_per_second) const;

  /// The parent entry of the written node `index` (-1: none), and its world
  /// matrix as the file places it.
  [[nodiscard]] int parent_of(int index) const { return entries_[static_cast<std::size_t>(index)].parent; }
  [[nodiscard]] const Matrix43& world_of(int index) const {
    return entries_[static_cast<std::size_t>(index)].world;
  }

  /// Makes `root` the node that top-level nodes are created under.
  void set_root(std::string root) { root_ = std::move(root); }

  /// Moves the nodes whose parent came later under it, and tells the user
  /// about parents that never came.
  void finish();

 private:
  /// What a node the switches passed over keeps until it is written.
  struct PassedOver {
    std::string parent_source;  // Its parent in the file.
    NodeAnimation animation;
  };
  /// One a node: about 220 bytes and its names, held to the end of the file.
  struct Entry {
    std::string source;
    std::string maya;  // Empty for a node that is not written (yet).
    Matrix43 world;
    int parent = -1;  // Index of the parent entry, once placed under it.
    bool in_chain = false;
    bool moves = false;  // As written: it moves (its motion below, if kept).
    std::string awaited_parent;
    std::unique_ptr<PassedOver> passed_over;
    std::unique_ptr<NodeMotion> motion;
  };
  static constexpr std::size_t kMaxKeptKeys = std::size_t{1} << 14;

  int find(std::string_view source, int before) const;
  /// Writes the passed-over node `index`, and first its passed-over ancestors.
  void write_passed_over(int index);
  /// Places node `index` under `parent_source` if that is written, or notes
  /// the parent it waits for if none of that name was seen yet.
  Placement link(int index, std::string_view parent_source);
  /// The tree a node belongs to (union-find over the parent links): a
  /// parent in the node's own tree would close a loop.
  int tree_of(int node);
  void join(int child, int parent) { tree_[static_cast<std::size_t>(tree_of(child))] = tree_of(parent); }

  MayaOutput& output_;
  std::string root_;
  PlainWriter write_plain_;
  std::vector<Entry> entries_;
  std::vector<int> tree_;
  std::unordered_map<std::string, std::vector<int>> by_source_;  // Indices in file order.
  std::size_t kept_keys_ = 0;
};

/// Writes a transform node with `channels` (those not at their defaults).
void write_transform(MaWriter& out, std::string_view name, std::string_view parent, const Channels& channels);

/// The setAttr lines of `channels`, for the node created last (empty
/// `node`) or, after a "parent" command, for the node `node`.
void write_channels(MaWriter& out, std::string_view node, const Channels& channels);

}  // namespace kestrun::extended
