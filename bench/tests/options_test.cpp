#include "gen/options.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrun::scenegen {
namespace {

Options parse(std::vector<std::string_view> arguments) { return parse_options(arguments); }

TEST(Options, ReadsSeparateAndJoinedValues) {
  const Options options = parse({"--size-mb", "400", "--objects=12", "--keys", "0", "--lights=3", "--cameras",
                                 "1", "--seed", "18446744073709551615", "--crlf", "--output=scene.ase"});
  EXPECT_EQ(options.size_mb, 400);
  EXPECT_EQ(options.objects, 12);
  EXPECT_EQ(options.keys, 0);
  EXPECT_EQ(options.lights, 3);
  EXPECT_EQ(options.cameras, 1);
  EXPECT_EQ(options.seed, 18446744073709551615ULL);
  EXPECT_TRUE(options.crlf);
  EXPECT_EQ(options.output, "scene.ase");
  EXPECT_FALSE(options.vertices.has_value());
}

TEST(Options, LeavesUnsetCountsEmpty) {
  const Options options = parse({"--output", "a.ase", "--vertices", "4"});
  EXPECT_EQ(options.vertices, 4);
  EXPECT_FALSE(options.size_mb || options.objects || options.keys || options.lights || options.cameras);
  EXPECT_FALSE(options.crlf);
}

TEST(Options, RefusesBadCommandLines) {
  const std::vector<std::vector<std::string_view>> bad = {
      {"--size-mb", "10"},                                       // no output
      {"--output", "a", "--size-mb", "0"},                       // below 1 MB
      {"--output", "a", "--size-mb", "501"},                     // above 500 MB
      {"--output", "a", "--size-mb", "12.5"},                    // not whole
      {"--output", "a", "--vertices", "3"},                      // too small a mesh
      {"--output", "a", "--seed", "-1"},                         // negative
      {"--output", "a", "--objects"},                            // value missing
      {"--output", "a", "--size-mb", "5", "--vertices", "100"},  // both decide the mesh size
      {"--output", "a", "--colour", "red"},                      // unknown
  };
  for (const auto& arguments : bad) {
    EXPECT_THROW(parse(arguments), std::invalid_argument) << arguments[2];
  }
}

TEST(Options, HelpNeedsNothingElse) { EXPECT_TRUE(parse({"--help"}).help); }

}  // namespace
}  // namespace kestrun::scenegen
