// Keys on a transform's rotation (and, where a stretch along turned axes
// needs them, its scale and shear) that play back the file's motion.
#pragma once

#include <functional>
#include <limits>
#include <vector>

#include "model/motion.h"

namespace kestrun::extended {

struct ChannelKey {
  double tick = 0.0;
  Channels channels;  // The translation is not used.
};

enum class KeyedChannels { Rotation, All };

/// How far Maya's straight-line interpolation of the channels may stray
/// from the motion between keys: radians for a rotation, a part of the
/// matrix's size for all channels.
inline constexpr double kKeyedTolerance = 5e-4;  // The controller's own turn: 0.03 degrees.
/// Between whole frames, which Maya plays, and between samples, where the
/// motion is a guess: a third of a degree.
inline constexpr double kLooseTolerance = 6e-3;
/// Keys at the file's keys only, where the motion between them is not known.
inline constexpr double kOnlyAtKeys = std::numeric_limits<double>::infinity();

/// Keys at `ticks` (increasing) on the channels `which` of `motion`, and
/// keys added between them, at whole frames where they fall between two,
/// wherever Maya's straight-line interpolation of the channels would stray
/// from the motion by more than `tolerance` (kLooseTolerance between
/// neighbouring frames). The Euler angles follow each turn through its
/// whole angle, starting near `start`, so that a curve through them turns
/// the way the file does. Each key goes to `emit` as it is made, in time
/// order, so that no list of them is held.
void follow_motion(const LocalMotion& motion, const std::vector<double>& ticks, double ticks_per_frame,
                   KeyedChannels which, Euler start, double tolerance,
                   const std::function<void(const ChannelKey&)>& emit);

}  // namespace kestrun::extended
