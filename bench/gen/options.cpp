#include "gen/options.h"

#include <charconv>
#include <stdexcept>

namespace kestrun::scenegen {

namespace {

struct Limits {
  std::int64_t low;
  std::int64_t high;
};

std::uint64_t read_natural(std::string_view name, std::string_view text) {
  std::uint64_t value = 0;
  const char* const end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) {
    throw std::invalid_argument(std::string(name) + " needs a whole number, not '" + std::string(text) + "'");
  }
  return value;
}

std::int64_t read_count(std::string_view name, std::string_view text, Limits limits) {
  const std::uint64_t value = read_natural(name, text);
  if (value < static_cast<std::uint64_t>(limits.low) || value > static_cast<std::uint64_t>(limits.high)) {
    throw std::invalid_argument(std::string(name) + " must be from " + std::to_string(limits.low) + " to " +
                                std::to_string(limits.high));
  }
  return static_cast<std::int64_t>(value);
}

// Stores the value of option `name`; returns false if there is no such option.
bool store(Options& options, std::string_view name, std::string_view value) {
  if (name == "--size-mb") {
    options.size_mb = read_count(name, value, {1, 500});
  } else if (name == "--objects") {
    options.objects = read_count(name, value, {1, 100'000});
  } else if (name == "--vertices") {
    options.vertices = read_count(name, value, {4, 5'000'000});
  } else if (name == "--keys") {
    options.keys = read_count(name, value, {0, 1'000'000});
  } else if (name == "--lights") {
    options.lights = read_count(name, value, {0, 1000});
  } else if (name == "--cameras") {
    options.cameras = read_count(name, value, {0, 1000});
  } else if (name == "--seed") {
    options.seed = read_natural(name, value);
  } else if (name == "--output") {
    if (value.empty()) throw std::invalid_argument("--output needs a file name");
    options.output = value;
  } else {
    return false;
  }
  return true;
}

}  // namespace

Options parse_options(std::span<const std::string_view> arguments) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      options.help = true;
      continue;
    }
    if (argument == "--crlf") {
      options.crlf = true;
      continue;
    }
    const std::size_t equals = argument.find('=');
    const std::string_view name = argument.substr(0, equals);
    std::string_view value;
    if (equals != std::string_view::npos) {
      value = argument.substr(equals + 1);
    } else if (i + 1 < arguments.size()) {
      value = arguments[++i];
    } else {
      throw std::invalid_argument(std::string(name) + " needs a value");
    }
    if (!store(options, name, value))
      throw std::invalid_argument("unknown option '" + std::string(name) + "'");
  }
  if (options.help) return options;
  if (options.output.empty()) throw std::invalid_argument("--output is required");
  if (options.size_mb && options.vertices) {
    throw std::invalid_argument("give --size-mb or --vertices, not both: the size decides the vertex count");
  }
  return options;
}

std::string usage_text() {
  return "usage: kestrun_generate_scene --output PATH [--size-mb N | --vertices N] [--objects N]\n"
         "                              [--keys N] [--lights N] [--cameras N] [--seed N] [--crlf]\n"
         "\n"
         "Writes a deterministic 3ds Max ASCII export (ASE) scene for benchmarks.\n"
         "  --output PATH   file to write (created or truncated)\n"
         "  --size-mb N     target file size, 1 to 500 MB (1 MB = 1,000,000 bytes); picks the\n"
         "                  vertices per object, and fewer keys if the scene is tiny\n"
         "  --vertices N    vertices per object, 4 to 5000000 (default 1000); faces are 2N\n"
         "  --objects N     textured, animated mesh objects (default 40)\n"
         "  --keys N        keys per controller group (default 200; 0: no animation)\n"
         "  --lights N      target spot lights (default 2)\n"
         "  --cameras N     target cameras (default 2)\n"
         "  --seed N        random seed (default 1); the same seed gives the same bytes\n"
         "  --crlf          end lines with CR LF instead of LF\n";
}

}  // namespace kestrun::scenegen
