#include "extended/animation_curves.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/fixed_format.h"
#include "extended/channel_keys.h"
#include "model/motion.h"

namespace kestrun::extended {
namespace {

/// 3ds Max counts 4800 ticks a second, whatever the frame rate.
constexpr double kTicksPerSecond = 4800.0;

constexpr std::array<std::string_view, 3> kTranslate = {"tx", "ty", "tz"};
constexpr std::array<std::string_view, 3> kRotate = {"rx", "ry", "rz"};
constexpr std::array<std::string_view, 3> kScale = {"sx", "sy", "sz"};
constexpr std::array<std::string_view, 3> kShear = {"shxy", "shxz", "shyz"};
constexpr std::array<std::string_view, 3> kRotateAxis = {"rax", "ray", "raz"};

double component(Vec3 v, std::size_t axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }
double component(Euler e, std::size_t axis) { return axis == 0 ? e.x : axis == 1 ? e.y : e.z; }

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

/// A key's value and, for Bezier keys, its slopes (value per tick).
struct KeyValue {
  Vec3 value;
  Vec3 in_slope;
  Vec3 out_slope;
};

/// Three curves for a vector track, one key per sample or key, with the
/// hold keys of a sampled track; `value_of(i)` gives key i's value.
template <class ValueOf>
std::array<Curve, 3> vector_curves(const Track& track, double step, const SceneTiming& timing,
                                   const std::array<std::string_view, 3>& attributes, ValueOf value_of) {
  std::array<Curve, 3> curves;
  for (std::size_t axis = 0; axis < 3; ++axis) {
    curves[axis].attribute = attributes[axis];
    curves[axis].keys.reserve(track.keys.size());
  }
  const bool sampled = track.kind == KeyKind::Sample;
  const double ticks_per_frame = timing.ticks_per_frame;
  Vec3 previous;
  for (std::size_t i = 0; i < track.keys.size(); ++i) {
    const Key& key = track.keys[i];
    const KeyValue value = value_of(i);
    if (sampled && i > 0 && key.time - track.keys[i - 1].time > step) {
      // The exporter left out samples that did not change: hold the value.
      for (std::size_t axis = 0; axis < 3; ++axis) {
        curves[axis].keys.push_back({(key.time - step) / ticks_per_frame, component(previous, axis)});
      }
    }
    for (std::size_t axis = 0; axis < 3; ++axis) {
      CurveKey curve_key{key.time / ticks_per_frame, component(value.value, axis)};
      if (track.kind == KeyKind::Tcb) {
        curve_key.in = curve_key.out = Tangent::Spline;
      } else if (track.kind == KeyKind::Bezier) {
        curve_key.in = bezier_tangent(key.flags, 7);
        curve_key.out = bezier_tangent(key.flags, 10);
        curve_key.in_slope = static_cast<float>(component(value.in_slope, axis) * kTicksPerSecond);
        curve_key.out_slope = static_cast<float>(component(value.out_slope, axis) * kTicksPerSecond);
      }
      curves[axis].keys.push_back(curve_key);
    }
    previous = value.value;
  }
  return curves;
}

void append(std::vector<Curve>& curves, std::array<Curve, 3>&& three) {
  for (Curve& curve : three) curves.push_back(std::move(curve));
}

Vec3 diagonal(const Matrix43& m) { return {m.rows[0].x, m.rows[1].y, m.rows[2].z}; }

/// Curves fed one key at a time by follow_motion, one per attribute.
template <std::size_t N>
class ChannelCurves {
 public:
  ChannelCurves(const std::array<std::string_view, N>& attributes, double ticks_per_frame,
                double (*value_of)(const Channels&, std::size_t), Tangent tangent, std::size_t expected)
      : ticks_per_frame_(ticks_per_frame), value_of_(value_of), tangent_(tangent) {
    for (std::size_t c = 0; c < N; ++c) {
      curves_[c].attribute = attributes[c];
      curves_[c].keys.reserve(expected);
    }
  }

  void add(const ChannelKey& key) {
    for (std::size_t c = 0; c < N; ++c) {
      curves_[c].keys.push_back(
          {key.tick / ticks_per_frame_, value_of_(key.channels, c), tangent_, tangent_});
    }
  }

  void append_to(std::vector<Curve>& curves) {
    for (Curve& curve : curves_) curves.push_back(std::move(curve));
  }

 private:
  std::array<Curve, N> curves_;
  double ticks_per_frame_;
  double (*value_of_)(const Channels&, std::size_t);
  Tangent tangent_;
};

double rotate_of(const Channels& c, std::size_t axis) { return component(c.rotate, axis); }
double scale_of(const Channels& c, std::size_t axis) { return component(c.scale, axis); }
double shear_of(const Channels& c, std::size_t axis) { return component(c.shear, axis); }

/// The angles of the first turn, followed from no rotation.
Euler first_angles(const LocalMotion& motion) {
  if (motion.turns.empty()) return euler_xyz(motion.rotation);
  const TurnPoint& first = motion.turns.front();
  return follow_turn(Matrix43{}, Euler{}, first.axis, first.angle);
}

bool turned(const StretchPoint& point) { return !stretches_along_own_axes(point.stretch); }

/// Rotation and scale curves of a node: the rotation followed along its
/// turns; the scale factors along the node's own axes or, where the file
/// stretches along turned axes, scale, shear and rotate axis together.
void rotation_and_scale_curves(std::vector<Curve>& curves, const NodeAnimation& animation,
                               const Matrix43& local, const SceneTiming& timing, double step) {
  const double ticks_per_frame = timing.ticks_per_frame;
  const double mirror = local.determinant() < 0 ? -1.0 : 1.0;
  if (!animation.rotation.keys.empty()) {
    LocalMotion turning;
    turning.turns =
        turn_points(animation.rotation, static_cast<double>(timing.first_frame) * ticks_per_frame, step);
    std::vector<double> ticks;
    ticks.reserve(turning.turns.size());
    for (const TurnPoint& point : turning.turns) ticks.push_back(point.tick);
    // Linear and Bezier keys turn at a constant rate; TCB keys ease, so
    // only where Euler angles would stray far are keys added between them.
    const KeyKind kind = animation.rotation.kind;
    const double tolerance =
        kind == KeyKind::Linear || kind == KeyKind::Bezier ? kKeyedTolerance : kLooseTolerance;
    const Tangent tangent = kind == KeyKind::Tcb ? Tangent::Spline : Tangent::Linear;
    ChannelCurves<3> rotation(kRotate, ticks_per_frame, rotate_of, tangent, ticks.size());
    follow_motion(turning, ticks, ticks_per_frame, KeyedChannels::Rotation, first_angles(turning), tolerance,
                  [&rotation](const ChannelKey& key) { rotation.add(key); });
    rotation.append_to(curves);
  }
  if (animation.scale.keys.empty()) return;
  const Track& track = animation.scale;
  LocalMotion stretching;
  stretching.stretches = stretch_points(track, step);
  if (std::any_of(stretching.stretches.begin(), stretching.stretches.end(), turned)) {
    // Only scale, shear and rotate axis together hold a stretch along
    // turned axes; 3ds Max eases both the factors and the axes between keys,
    // so the file's matrix is kept at its keys.
    stretching.mirror = mirror;
    std::vector<double> ticks;
    ticks.reserve(stretching.stretches.size());
    for (const StretchPoint& point : stretching.stretches) ticks.push_back(point.tick);
    ChannelCurves<3> scale(kScale, ticks_per_frame, scale_of, Tangent::Linear, ticks.size());
    ChannelCurves<3> shear(kShear, ticks_per_frame, shear_of, Tangent::Linear, ticks.size());
    ChannelCurves<3> rotate_axis(kRotateAxis, ticks_per_frame, rotate_of, Tangent::Linear, ticks.size());
    follow_motion(stretching, ticks, ticks_per_frame, KeyedChannels::All, Euler{}, kOnlyAtKeys,
                  [&](const ChannelKey& key) {
                    scale.add(key);
                    shear.add(key);
                    rotate_axis.add(key);
                  });
    scale.append_to(curves);
    shear.append_to(curves);
    rotate_axis.append_to(curves);
    return;
  }
  append(curves, vector_curves(track, step, timing, kScale, [&](std::size_t i) {
           // Factors along turned axes that land on the node's own (a
           // quarter turn, say) are the diagonal of the stretch.
           const Key& key = track.keys[i];
           return KeyValue{
               diagonal(stretch_matrix(key.value, key.scale_axis, key.scale_axis_angle)) * mirror,
               diagonal(stretch_matrix(key.in_tangent, key.scale_axis, key.scale_axis_angle)) * mirror,
               diagonal(stretch_matrix(key.out_tangent, key.scale_axis, key.scale_axis_angle)) * mirror};
         }));
}

/// The animCurve type of an attribute and the name its curve gets after the node's.
struct CurveKind {
  std::string_view attribute;
  std::string_view type;
  std::string_view name;
};

constexpr CurveKind kCurveKinds[] = {
    {"tx", "animCurveTL", "_translateX"},    {"ty", "animCurveTL", "_translateY"},
    {"tz", "animCurveTL", "_translateZ"},    {"rx", "animCurveTA", "_rotateX"},
    {"ry", "animCurveTA", "_rotateY"},       {"rz", "animCurveTA", "_rotateZ"},
    {"sx", "animCurveTU", "_scaleX"},        {"sy", "animCurveTU", "_scaleY"},
    {"sz", "animCurveTU", "_scaleZ"},        {"shxy", "animCurveTU", "_shearXY"},
    {"shxz", "animCurveTU", "_shearXZ"},     {"shyz", "animCurveTU", "_shearYZ"},
    {"rax", "animCurveTA", "_rotateAxisX"},  {"ray", "animCurveTA", "_rotateAxisY"},
    {"raz", "animCurveTA", "_rotateAxisZ"},  {"v", "animCurveTU", "_visibility"},
    {"fl", "animCurveTU", "_focalLength"},   {"ncp", "animCurveTL", "_nearClipPlane"},
    {"fcp", "animCurveTL", "_farClipPlane"}, {"coi", "animCurveTL", "_centerOfInterest"},
    {"cr", "animCurveTU", "_colorR"},        {"cg", "animCurveTU", "_colorG"},
    {"cb", "animCurveTU", "_colorB"},        {"in", "animCurveTU", "_intensity"},
    {"ca", "animCurveTA", "_coneAngle"},     {"pa", "animCurveTA", "_penumbraAngle"},
};

CurveKind curve_kind(std::string_view attribute) {
  for (const CurveKind& kind : kCurveKinds) {
    if (kind.attribute == attribute) return kind;
  }
  return {"", "animCurveTU", "_weight"};  // A blendShape's weight "w[k]".
}

}  // namespace

void merge_keys_at_one_frame(std::vector<Curve>& curves, Warnings& warnings) {
  char previous[kMaxFixedLength], current[kMaxFixedLength];
  // Frames more than a millionth apart are written apart; closer ones are compared as written.
  const auto written_alike = [&](double a, double b) {
    const float fa = static_cast<float>(a), fb = static_cast<float>(b);
    if (fa == fb) return true;
    if (std::fabs(double{fb} - double{fa}) > 1e-6) return false;
    const char* end_a = format_trimmed(fa, previous);
    const char* end_b = format_trimmed(fb, current);
    return std::string_view(previous, static_cast<std::size_t>(end_a - previous)) ==
           std::string_view(current, static_cast<std::size_t>(end_b - current));
  };
  for (Curve& curve : curves) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < curve.keys.size(); ++i) {
      if (kept > 0 && written_alike(curve.keys[kept - 1].frame, curve.keys[i].frame)) {
        warnings.note("keys that fall on one frame once written are merged into the later one");
        curve.keys[kept - 1] = curve.keys[i];
      } else {
        curve.keys[kept++] = curve.keys[i];
      }
    }
    curve.keys.resize(kept);
  }
}

std::optional<Channels> transform_channels(const Matrix43& local, const NodeAnimation* animation) {
  if (animation != nullptr && !stretches_along_own_axes(local)) {
    const auto turned_scale = [](const Key& key) {
      return !stretches_along_own_axes(stretch_matrix(key.value, key.scale_axis, key.scale_axis_angle));
    };
    const auto& scale_keys = animation->scale.keys;
    if (!animation->rotation.keys.empty() ||
        std::any_of(scale_keys.begin(), scale_keys.end(), turned_scale)) {
      Matrix43 unmirrored = local;
      if (local.determinant() < 0) {
        for (std::size_t row = 0; row < 3; ++row) unmirrored.rows[row] = unmirrored.rows[row] * -1.0;
      }
      return decompose_about(local, polar_rotation(unmirrored));
    }
  }
  return decompose(local);
}

std::vector<Curve> build_curves(const NodeAnimation& animation, const Matrix43& local,
                                const SceneTiming& timing, Warnings& warnings) {
  std::vector<Curve> curves;
  const double step = sampling_step(animation, timing.ticks_per_frame);
  if (!animation.position.keys.empty()) {
    const Track& track = animation.position;
    append(curves, vector_curves(track, step, timing, kTranslate, [&](std::size_t i) {
             return KeyValue{track.keys[i].value, track.keys[i].in_tangent, track.keys[i].out_tangent};
           }));
  }
  if (!animation.rotation.keys.empty() || !animation.scale.keys.empty()) {
    rotation_and_scale_curves(curves, animation, local, timing, step);
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
  merge_keys_at_one_frame(curves, warnings);
  return curves;
}

void write_curves(MayaOutput& output, std::string_view node, const std::vector<Curve>& curves) {
  MaWriter& out = output.out;
  for (const Curve& curve : curves) {
    const CurveKind kind = curve_kind(curve.attribute);
    const std::string_view type = kind.type;
    std::string name(node);
    name += kind.name;
    if (kind.attribute.empty()) {
      // "w[12]": the weight's index.
      const std::string_view index = std::string_view(curve.attribute).substr(2);
      name += index.substr(0, index.size() - 1);
    }
    name = output.names.claim(name);
    out.print<"createNode %s -n \"%s\";\n\tsetAttr \".tan\" 2;\n\tsetAttr \".wgt\" no;\n">(type, name);
    const auto& keys = curve.keys;
    write_array(out, "ktv", "", keys.size(), [&](std::size_t i) {
      // Adding zero writes a negative zero as 0.
      out.print<" %r %r">(static_cast<float>(keys[i].frame), static_cast<float>(keys[i].value) + 0.0F);
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
    output.connect(name + ".o", std::string(node) + "." + curve.attribute);
  }
}

}  // namespace kestrun::extended
