// Axis-and-angle rotations to Euler angles in degrees.
#pragma once

namespace kestrun::flat {

/// Rotations about X, Y and Z, in degrees, single precision.
struct EulerAngles {
  float x = 0.0F;
  float y = 0.0F;
  float z = 0.0F;
};

/// Converts the rotation by `angle` radians about the axis (x, y, z), of any
/// non-zero length, to Euler angles: rotating about X by the result's x, then
/// Y by y, then Z by z equals rotating about the axis by the negated angle.
/// Every intermediate quantity is rounded to single precision as it is formed,
/// as the exporter's readers have always computed it. A zero axis gives zeros.
EulerAngles axis_angle_to_euler(float x, float y, float z, float angle);

}  // namespace kestrun::flat
