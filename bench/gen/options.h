// The generator's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kestrun::scenegen {

struct Options {
  std::optional<std::int64_t> size_mb;
  std::optional<std::int64_t> objects;
  std::optional<std::int64_t> vertices;
  std::optional<std::int64_t> keys;
  std::optional<std::int64_t> lights;
  std::optional<std::int64_t> cameras;
  std::uint64_t seed = 1;
  bool crlf = false;
  bool help = false;
  std::string output;
};

/// Reads the arguments after the program name ("--name value" or
/// "--name=value"). Throws std::invalid_argument with a message for the user
/// on an unknown option, a missing or malformed value, or a value out of range.
Options parse_options(std::span<const std::string_view> arguments);

/// The usage text for --help and for errors.
std::string usage_text();

}  // namespace kestrun::scenegen
