// Real scenes cut at byte offsets. A file can end anywhere (a copy stopped
// short, a full disk at the exporter's side): every prefix must convert as
// the rules for the end of input say, keep what the whole file's conversion
// wrote before the cut, and stay within a bound on output.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "test_support.h"

namespace kestrun::testing {
namespace {

#ifdef KESTRUN_SANITIZED
// Sanitized conversions are several times slower: sweep every fourth offset
// of the small files and fewer samples of the large ones.
constexpr std::size_t kSweepStride = 4;
constexpr std::size_t kSamples = 60;
#else
constexpr std::size_t kSweepStride = 1;
constexpr std::size_t kSamples = 300;
#endif

constexpr std::string_view kTrailerStart = "createNode script -n \"animationScriptNode\";";
constexpr std::string_view kEndComment = "// End of out.ma ";

// Sets of keywords, each between blanks: the top-level blocks, which a conversion of everything
// always enters; those that must be followed by "{" or an integer (a cut right after one is the
// only way to code 4); the lists and key groups, written whole at their "}" or the end of the input.
constexpr std::string_view kTopLevelBlocks = " GEOMOBJECT SCENE LIGHTOBJECT CAMERAOBJECT ";
constexpr std::string_view kNeedsMore =
    " GEOMOBJECT SCENE LIGHTOBJECT CAMERAOBJECT MESH MESH_VERTEX_LIST MESH_FACE_LIST TM_ANIMATION "
    "MESH_NUMVERTEX MESH_NUMFACES ";
constexpr std::string_view kListBlocks =
    " MESH_VERTEX_LIST MESH_FACE_LIST CONTROL_POS_BEZIER CONTROL_ROT_TCB CONTROL_SCALE_BEZIER ";

bool is_blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

/// The output up to the trailer: the header and the converted nodes.
std::string_view before_trailer(std::string_view output) {
  return output.substr(0, std::min(output.find(kTrailerStart), output.size()));
}

std::size_t line_count(std::string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

/// True if `text` ends with "*KEYWORD" (and blanks) for a keyword of `set`,
/// standing first on its line if `at_line_start`.
bool ends_with_keyword(std::string_view text, std::string_view set, bool at_line_start = false) {
  std::size_t end = text.size();
  while (end > 0 && is_blank(text[end - 1])) --end;
  std::size_t start = end;
  while (start > 0 && !is_blank(text[start - 1])) --start;
  if (end - start < 2 || text[start] != '*') return false;
  if (at_line_start && start != 0 && text[start - 1] != '\n') return false;
  std::string name = " ";
  name.append(text.substr(start + 1, end - start - 1)).append(" ");
  return set.find(name) != std::string_view::npos;
}

/// Where a list or key group opens ("{") and closes ("}") in the scene.
struct ListSpan {
  std::size_t open, close;
};

/// What a conversion of a prefix gave, kept small: large scenes have thousands of cuts.
struct Cut {
  int status;
  std::string err;
  std::size_t body_size, body_lines;
  bool body_is_prefix;  // Of the whole file's body.
};

struct SweepCase {
  const char* path;  // Relative to the source tree.
  bool every_offset;
};

class Truncation : public ::testing::TestWithParam<SweepCase> {
 protected:
  void SetUp() override {
    scene_ = read_file(kSource / GetParam().path);
    ASSERT_FALSE(scene_.empty());
    full_ = convert_text(scene_).output;
    ASSERT_TRUE(full_.ends_with(kEndComment)) << "the whole file converts";
    full_body_ = before_trailer(full_);
    const std::size_t keyword = scene_.find("*3DSMAX_ASCIIEXPORT");
    ASSERT_NE(keyword, std::string::npos);
    header_end_ =
        scene_.find_last_of("0123456789", scene_.find_first_not_of("\t 0123456789", keyword + 19)) + 1;
    // The "}" that stand first on their lines, where blocks end; and the
    // lists and key groups, which do not nest.
    std::vector<std::pair<std::size_t, bool>> open_blocks;  // Where each "{" is; whether it opens a list.
    bool line_start = true;
    for (std::size_t i = 0; i < scene_.size(); ++i) {
      const char c = scene_[i];
      if (c == '{') {
        open_blocks.emplace_back(i, ends_with_keyword(std::string_view(scene_).substr(0, i), kListBlocks));
      } else if (c == '}') {
        if (line_start) braces_.push_back(i + 1);
        if (!open_blocks.empty()) {
          if (open_blocks.back().second) lists_.push_back({open_blocks.back().first, i});
          open_blocks.pop_back();
        }
      }
      line_start = c == '\n' || (line_start && (c == ' ' || c == '\t'));
    }
    // Output beyond this fails the run with code 8, so a runaway cut ends
    // quickly and visibly instead of writing without bound.
    output_limit_ = 2 * full_.size() + (std::size_t{1} << 20);
  }

  /// Every offset (every fourth when sanitized); or for the large scenes `samples` drawn with
  /// `seed`, the same every run, and `more`.
  std::vector<std::size_t> offsets(unsigned seed, std::size_t samples, const std::vector<std::size_t>& more) {
    std::vector<std::size_t> offsets;
    if (GetParam().every_offset) {
      for (std::size_t offset = 0; offset <= scene_.size(); offset += kSweepStride) offsets.push_back(offset);
      return offsets;
    }
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<std::size_t> anywhere(0, scene_.size());
    for (std::size_t i = 0; i < samples; ++i) offsets.push_back(anywhere(random));
    offsets.insert(offsets.end(), more.begin(), more.end());
    std::sort(offsets.begin(), offsets.end());
    return offsets;
  }

  /// The conversion of the scene cut at `end`, converted once.
  const Cut& cut_at(std::size_t end) {
    auto [found, added] = cuts_.try_emplace(end);
    if (added) {
      const ConversionResult result = convert_text(std::string_view(scene_).substr(0, end));
      const std::string_view body = before_trailer(result.output);
      found->second = {result.exit_status, result.err, body.size(), line_count(body),
                       full_body_.starts_with(body)};
    }
    return found->second;
  }

  /// How much of the whole file's body a cut at `offset` must keep: all that
  /// the cut after the last "}" line before it wrote, which is itself what
  /// the whole file's conversion wrote.
  std::size_t must_keep(std::size_t offset) {
    const auto after = std::upper_bound(braces_.begin(), braces_.end(), offset);
    if (after == braces_.begin()) return 0;
    const Cut& at_brace = cut_at(*(after - 1));
    EXPECT_EQ(at_brace.status, 0) << "cut after the brace at " << *(after - 1) << ": " << at_brace.err;
    EXPECT_TRUE(at_brace.body_is_prefix)
        << "the cut after the brace at " << *(after - 1) << " wrote what the whole file does not";
    return at_brace.body_size;
  }

  /// The list or key group whose "{" but not whose "}" lies before `offset`, if any.
  const ListSpan* open_list_at(std::size_t offset) const {
    const auto after = std::upper_bound(lists_.begin(), lists_.end(), offset,
                                        [](std::size_t at, const ListSpan& span) { return at <= span.open; });
    return after != lists_.begin() && offset <= (after - 1)->close ? &*(after - 1) : nullptr;
  }

  void check_cut(std::size_t offset) {
    const std::string_view prefix = std::string_view(scene_).substr(0, offset);
    const ConversionResult result = convert_text(prefix, RunOptions::everything(), output_limit_);
    SCOPED_TRACE(std::string(GetParam().path) + " cut at " + std::to_string(offset) + " after \"" +
                 std::string(prefix.substr(prefix.size() - std::min<std::size_t>(prefix.size(), 40))) + "\"");
    if (offset < header_end_) {
      EXPECT_EQ(result.exit_status, 1);
      EXPECT_EQ(result.err, kInvalid) << "the cut lies within the header";
      EXPECT_EQ(result.output, "");
      return;
    }
    if (ends_with_keyword(prefix, kTopLevelBlocks, /*at_line_start=*/true)) {
      EXPECT_EQ(result.err, kFatal) << "a top-level block keyword without its brace";
    }
    if (result.exit_status == 1) {
      ++fatal_cuts_;
      EXPECT_EQ(result.err, kFatal);
      EXPECT_TRUE(ends_with_keyword(prefix, kNeedsMore))
          << "code 4 only for a keyword left without its brace "
             "or count";
      EXPECT_TRUE(full_.starts_with(result.output)) << "what was written before the failure is as in the "
                                                       "whole conversion";
      EXPECT_FALSE(result.output.ends_with(kEndComment));
      return;
    }
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(result.output.ends_with(kEndComment));
    EXPECT_NE(result.out.find("in.ase Completed\nout.ma Generated\n"), std::string::npos);
    const std::string_view body = before_trailer(result.output);
    const std::size_t keep = must_keep(offset);
    ASSERT_GE(body.size(), keep);
    EXPECT_EQ(body.substr(0, keep), full_body_.substr(0, keep))
        << "the cut lost output the whole conversion wrote for blocks that ended before it";
    if (const ListSpan* list = open_list_at(offset)) {
      // A list cut short is written with its declared count, a key group with
      // the keys read: as many lines as when the cut falls on its "}".
      EXPECT_EQ(line_count(body), cut_at(list->close + 1).body_lines)
          << "the list or key group open at the cut was not written whole";
    }
  }

  std::string scene_;
  std::string full_;
  std::string_view full_body_;
  std::size_t header_end_ = 0;
  std::vector<std::size_t> braces_;
  std::vector<ListSpan> lists_;
  std::map<std::size_t, Cut> cuts_;
  std::size_t output_limit_ = 0;
  std::size_t fatal_cuts_ = 0;
};

TEST_P(Truncation, EveryPrefixEndsAsTheRulesSayAndKeepsWhatWasWritten) {
  std::vector<std::size_t> block_ends;  // Cuts right at, before and after each top-level block's end.
  for (std::size_t end = 0; (end = scene_.find("\n}", end)) != std::string::npos; ++end) {
    for (std::size_t offset = end; offset <= end + 3 && offset <= scene_.size(); ++offset) {
      block_ends.push_back(offset);
    }
  }
  const std::vector<std::size_t> offsets = this->offsets(20011, kSamples, block_ends);
  for (const std::size_t offset : offsets) {
    check_cut(offset);
    if (HasFatalFailure()) break;
  }
  if (GetParam().every_offset && kSweepStride == 1) {
    // Every file here has a top-level block, so some cut must leave its
    // keyword without a brace: proof that the fatal branch was checked.
    EXPECT_GT(fatal_cuts_, 0U);
  }
  std::cout << "[ prefixes ] " << GetParam().path << ": " << offsets.size() << " cuts, " << fatal_cuts_
            << " ended with code 4\n";
}

/// The part of an extended output that objects wrote, as they ended: what
/// comes before the material networks, late parenting and default nodes.
std::string_view extended_objects(std::string_view output) {
  std::size_t end = output.size();
  for (const std::string_view marker : {"\ncreateNode lambert ", "\ncreateNode blinn ", "\ncreateNode phong ",
                                        "\nparent -r ", "\ncreateNode lightLinker "}) {
    end = std::min(end, output.find(marker));
  }
  return output.substr(0, end);
}

TEST_P(Truncation, EveryPrefixConvertsInTheExtendedModeKeepingTheObjectsThatEnded) {
  RunOptions extended = RunOptions::everything();
  extended.extended = true;
  const std::string full = convert_text(scene_, extended).output;
  const std::string_view full_objects = extended_objects(full);
  // The ends of the top-level blocks: an object is written when its block ends.
  std::vector<std::size_t> block_ends;
  for (std::size_t end = 0; (end = scene_.find("\n}", end)) != std::string::npos; ++end)
    block_ends.push_back(end + 2);
  const std::vector<std::size_t> offsets = this->offsets(20012, kSamples / 2, block_ends);
  std::size_t kept_so_far = 0;  // What the cut after the last block's end wrote.
  std::size_t next_end = 0;
  for (const std::size_t offset : offsets) {
    const ConversionResult result =
        convert_text(std::string_view(scene_).substr(0, offset), extended, output_limit_);
    SCOPED_TRACE(std::string(GetParam().path) + " cut at " + std::to_string(offset));
    if (offset < header_end_ && result.exit_status == 1) {
      EXPECT_EQ(result.err, kInvalid);
      continue;
    }
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_TRUE(after_warnings(result.err).empty()) << result.err;
    EXPECT_TRUE(result.output.ends_with("// End of out.ma\n"));
    const std::string_view objects = extended_objects(result.output);
    while (next_end < block_ends.size() && block_ends[next_end] < offset) ++next_end;
    if (next_end < block_ends.size() && block_ends[next_end] == offset) {
      // Right after a top-level block: what was written is what the whole file writes there.
      EXPECT_TRUE(full_objects.starts_with(objects)) << "the cut wrote what the whole file does not";
      kept_so_far = objects.size();
    }
    EXPECT_EQ(objects.substr(0, kept_so_far), full_objects.substr(0, kept_so_far))
        << "objects that ended before the cut lost some of their output";
  }
}

INSTANTIATE_TEST_SUITE_P(Scenes, Truncation,
                         ::testing::Values(SweepCase{"examples/box_scene.ase", true},
                                           SweepCase{"tests/data/ase-corpus/InvalidUVIndex.ase", true},
                                           SweepCase{"tests/data/ase-corpus/ThreeCubesGreen.ASE", true},
                                           SweepCase{"tests/data/ase-corpus/anim.ASE", true},
                                           SweepCase{"tests/data/ase-corpus/TargetCameraAnim.ase", true},
                                           SweepCase{"tests/data/ase-corpus/anim2.ASE", false},
                                           SweepCase{"tests/data/ase-corpus/Rifle.ase", false},
                                           SweepCase{"tests/data/ase-corpus/MotionCaptureROM.ase", false}),
                         [](const auto& info) {
                           return test_name(fs::path(info.param.path).stem().string());
                         });

}  // namespace
}  // namespace kestrun::testing
