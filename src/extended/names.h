// Maya node names: legal, and unique in the file.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace kestrun::extended {

/// Hands out node names. A name is legal ([A-Za-z_][A-Za-z0-9_]*: any other
/// character becomes '_', a leading digit gets a '_' in front) and unique:
/// a name already given, or one of the nodes every Maya scene has, gets the
/// first free numeric suffix, so repeats are numbered in the order they come.
class NameRegistry {
 public:
  NameRegistry();

  /// A legal, unique name made from `wanted`.
  std::string claim(std::string_view wanted);

  /// `wanted` made legal ("Box 01" to "Box_01", "3ds" to "_3ds", "" to
  /// "unnamed") and cut after 200 characters.
  static std::string legal(std::string_view wanted);

 private:
  std::unordered_set<std::string> used_;
  std::unordered_map<std::string, unsigned> next_suffix_;
};

}  // namespace kestrun::extended
