#include "extended/animation_curves.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace kestrun {
namespace {

/// 3ds Max counts 4800 ticks a second, whatever the frame rate.
constexpr double kTicksPerSecond = 4800.0;

constexpr std::array<std::string_view, 3> kTranslate = {"tx", "ty", "tz"};
constexpr std::array<std::string_view, 3> kRotate = {"rx", "ry", "rz"};
constexpr std::array<std::string_view, 3> kScale = {"sx", "sy", "sz"};

double component(Vec3 v, std::size_t axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

/// The sampling step of a sampled track: its smallest gap.
double sampling_step(const Track& track) {
  double step = 0.0;
  for (std::size_t i = 1; i < track.keys.size(); ++i) {
    const double gap = track.keys[i].time - track.keys[i - 1].time;
    if (gap > 0 && (step == 0.0 || gap < step)) step = gap;
  }
  return step;
}

/// The tangent types a Bezier key's flags give (bits 7-9 in, 10-12 out).
Tangent bezier_tangent(unsigned flags, int shift) {
  switch ((flags >> shift) & 7U) {
    case 1:
      return Tangent::Linear;
    case 2:
      return Tangent::Step;
    default:
      return Tangent::Fixed;  // Smooth, fast, slow, user, flat: the slope the file gives.
  }
}

/// Three curves for a vector track, one key per sample or key, with the
/// hold keys of a sampled track; `value_of(key)` gives the key's vector.
template <class ValueOf>
std::array<Curve, 3> vector_curves(const Track& track, KeyKind kind, const SceneTiming& timing,
                                   const std::array<std::string_view, 3>& attributes, ValueOf value_of) {
  std::array<Curve, 3> curves;
  for (std::size_t axis = 0; axis < 3; ++axis) {
    curves[axis].attribute = attributes[axis];
    curves[axis].keys.reserve(track.keys.size());
  }
  const double step = kind == KeyKind::Sample ? sampling_step(track) : 0.0;
  const double ticks_per_frame = timing.ticks_per_frame;
  Vec3 previous;
  for (std::size_t i = 0; i < track.keys.size(); ++i) {
    const Key& key = track.keys[i];
    const Vec3 value = value_of(i);
    if (i > 0 && step > 0 && key.time - track.keys[i - 1].time > step) {
      // The exporter left out samples that did not change: hold the value.
      for (std::size_t axis = 0; axis < 3; ++axis) {
        curves[axis].keys.push_back({(key.time - step) / ticks_per_frame, component(previous, axis)});
      }
    }
    for (std::size_t axis = 0; axis < 3; ++axis) {
      CurveKey curve_key{key.time / ticks_per_frame, component(value, axis)};
      if (kind == KeyKind::Tcb) {
        curve_key.in = curve_key.out = Tangent::Spline;
      } else if (kind == KeyKind::Bezier) {
        curve_key.in = bezier_tangent(key.flags, 7);
        curve_key.out = bezier_tangent(key.flags, 10);
        curve_key.in_slope = static_cast<float>(component(key.in_tangent, axis) * kTicksPerSecond);
        curve_key.out_slope = static_cast<float>(component(key.out_tangent, axis) * kTicksPerSecond);
      }
      curves[axis].keys.push_back(curve_key);
    }
    previous = value;
  }
  return curves;
}

void append(std::vector<Curve>& curves, std::array<Curve, 3>&& three) {
  for (Curve& curve : three) curves.push_back(std::move(curve));
}

}  // namespace

std::vector<Curve> build_curves(const NodeAnimation& animation, const SceneTiming& timing,
                                Warnings& warnings) {
  std::vector<Curve> curves;
  if (!animation.position.keys.empty()) {
    const Track& track = animation.position;
    append(curves, vector_curves(track, track.kind, timing, kTranslate,
                                 [&](std::size_t i) { return track.keys[i].value; }));
  }
  if (!animation.rotation.keys.empty()) {
    // Each rotation turns on from the one before: R_k = R_(k-1) * Rot(axis, angle).
    const Track& track = animation.rotation;
    std::vector<Vec3> angles(track.keys.size());
    Matrix43 rotation;
    Euler previous;
    for (std::size_t i = 0; i < track.keys.size(); ++i) {
      rotation = rotation * axis_angle_rows(track.keys[i].value, track.keys[i].angle);
      rotation.rows[3] = {};
      Euler euler = euler_xyz(rotation);
      if (i > 0) euler = nearest_equivalent(euler, previous);
      previous = euler;
      angles[i] = {euler.x, euler.y, euler.z};
    }
    // Rotation keys carry no tangents: Bezier ones are taken as linear.
    const KeyKind kind = track.kind == KeyKind::Bezier ? KeyKind::Linear : track.kind;
    append(curves, vector_curves(track, kind, timing, kRotate, [&](std::size_t i) { return angles[i]; }));
  }
  if (!animation.scale.keys.empty()) {
    const Track& track = animation.scale;
    double largest_axis_angle = 0.0;
    for (const Key& key : track.keys) {
      const bool axis_given = key.scale_axis.x != 0 || key.scale_axis.y != 0 || key.scale_axis.z != 0;
      if (axis_given) largest_axis_angle = std::max(largest_axis_angle, std::fabs(key.scale_axis_angle));
    }
    if (largest_axis_angle != 0.0) {
      char angle[32];
      const auto end = std::to_chars(angle, angle + sizeof angle, static_cast<float>(largest_axis_angle)).ptr;
      warnings.note("its scale keys stretch along turned axes (up to " + std::string(angle, end) +
                    " radians); the scale factors are kept along the node's own axes");
    }
    append(curves, vector_curves(track, track.kind, timing, kScale,
                                 [&](std::size_t i) { return track.keys[i].value; }));
  }
  for (const Track* track : {&animation.position, &animation.rotation, &animation.scale}) {
    if (track->kind != KeyKind::Tcb) continue;
    for (const Key& key : track->keys) {
      if (key.tension != 0 || key.continuity != 0 || key.bias != 0) {
        warnings.note("TCB keys become spline keys; their tension, continuity and bias are not kept");
        break;
      }
    }
  }
  return curves;
}

void write_curves(MayaOutput& output, std::string_view node, const std::vector<Curve>& curves) {
  MaWriter& out = output.out;
  for (const Curve& curve : curves) {
    const char kind = curve.attribute[0];
    const std::string_view type = kind == 't' ? "animCurveTL" : kind == 'r' ? "animCurveTA" : "animCurveTU";
    const std::string_view long_name = kind == 't' ? "translate" : kind == 'r' ? "rotate" : "scale";
    const char axis = static_cast<char>(curve.attribute[1] - 'x' + 'X');
    const std::string name = output.names.claim(std::string(node) + "_" + std::string(long_name) + axis);
    out.print<"createNode %s -n \"%s\";\n\tsetAttr \".tan\" 2;\n\tsetAttr \".wgt\" no;\n">(type, name);
    const auto& keys = curve.keys;
    write_array(out, "ktv", "", keys.size(), [&](std::size_t i) {
      out.print<" %r %r">(static_cast<float>(keys[i].frame), static_cast<float>(keys[i].value));
    });
    write_array(out, "kit", "", keys.size(),
                [&](std::size_t i) { out.print<" %d">(static_cast<int>(keys[i].in)); });
    write_array(out, "kot", "", keys.size(),
                [&](std::size_t i) { out.print<" %d">(static_cast<int>(keys[i].out)); });
    const bool fixed = std::any_of(keys.begin(), keys.end(), [](const CurveKey& key) {
      return key.in == Tangent::Fixed || key.out == Tangent::Fixed;
    });
    if (fixed) {
      // A fixed tangent is a direction of unit length: seconds across, value up.
      const auto unit = [](float slope, bool y) {
        const double length = std::sqrt(1.0 + double{slope} * slope);
        return static_cast<float>((y ? slope : 1.0) / length);
      };
      write_array(out, "kix", "", keys.size(),
                  [&](std::size_t i) { out.print<" %r">(unit(keys[i].in_slope, false)); });
      write_array(out, "kiy", "", keys.size(),
                  [&](std::size_t i) { out.print<" %r">(unit(keys[i].in_slope, true)); });
      write_array(out, "kox", "", keys.size(),
                  [&](std::size_t i) { out.print<" %r">(unit(keys[i].out_slope, false)); });
      write_array(out, "koy", "", keys.size(),
                  [&](std::size_t i) { out.print<" %r">(unit(keys[i].out_slope, true)); });
    }
    output.connect(name + ".o", std::string(node) + "." + std::string(curve.attribute));
  }
}

}  // namespace kestrun
