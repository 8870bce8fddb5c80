// Animation curves evaluated as Maya evaluates an unweighted animCurve: each
// span between two keys is a cubic Hermite segment in time, its end slopes
// given by the keys' tangent types; before the first key and after the last
// the curve holds (constant infinity).

import { numberArray, numbers } from './ma_reader.js';

/// Tangent types as Maya files number them (the curve's "tan", the keys'
/// "kit" and "kot").
export const Tangent = {
  fixed: 1, linear: 2, flat: 3, step: 5, slow: 6, fast: 7, spline: 9, clamped: 10, plateau: 16,
  stepNext: 17, auto: 18,
};

/// The keys of an animCurve node: [{time (frames), value, inType, outType,
/// inSlope, outSlope}] with slopes (value per frame) for fixed tangents.
/// `fps` turns the tangents' seconds into frames; an animCurveTA's tangent
/// values are radians, its key values degrees (currentUnit -a degree).
export function curveKeys(node, fps) {
  const ktv = numberArray(node, 'ktv', 2);
  const count = ktv.length / 2;
  const fallback = (numbers(node, 'tan') ?? [Tangent.spline])[0];
  const kit = numberArray(node, 'kit', 1);
  const kot = numberArray(node, 'kot', 1);
  const kix = numberArray(node, 'kix', 1);
  const kiy = numberArray(node, 'kiy', 1);
  const kox = numberArray(node, 'kox', 1);
  const koy = numberArray(node, 'koy', 1);
  const angular = node.type === 'animCurveTA' ? 180 / Math.PI : 1;
  const slope = (x, y) => (x === 0 ? (y === 0 ? 0 : Math.sign(y) * 1e9) : (y / x) * angular / fps);
  const keys = [];
  for (let i = 0; i < count; ++i) {
    keys.push({
      time: ktv[2 * i], value: ktv[2 * i + 1],
      inType: i < kit.length ? kit[i] : fallback, outType: i < kot.length ? kot[i] : fallback,
      inSlope: i < kix.length ? slope(kix[i], kiy[i]) : 0,
      outSlope: i < kox.length ? slope(kox[i], koy[i]) : 0,
    });
  }
  keys.sort((a, b) => a.time - b.time);
  return keys;
}

/// The slope (value per frame) at key i on the side `side` ("in" or "out").
function slopeAt(keys, i, side) {
  const key = keys[i];
  const type = side === 'in' ? key.inType : key.outType;
  const previous = keys[i - 1];
  const next = keys[i + 1];
  const toPrevious = previous ? (key.value - previous.value) / (key.time - previous.time) : null;
  const toNext = next ? (next.value - key.value) / (next.time - key.time) : null;
  const spline = () => {
    if (previous && next) return (next.value - previous.value) / (next.time - previous.time);
    return toPrevious ?? toNext ?? 0;
  };
  switch (type) {
    case Tangent.fixed:
      return side === 'in' ? key.inSlope : key.outSlope;
    case Tangent.linear:
      return (side === 'in' ? toPrevious ?? toNext : toNext ?? toPrevious) ?? 0;
    case Tangent.flat:
    case Tangent.step:
    case Tangent.stepNext:
      return 0;
    case Tangent.clamped:
    case Tangent.plateau:
    case Tangent.auto: {
      // No overshoot: flat where the key is a peak, a trough or level with a neighbour.
      if (previous && next && (key.value - previous.value) * (next.value - key.value) <= 0) return 0;
      return spline();
    }
    default: // spline, slow, fast
      return spline();
  }
}

/// The value of the curve with `keys` (from curveKeys) at frame `time`.
export function evaluate(keys, time) {
  if (keys.length === 0) return 0;
  if (time <= keys[0].time) return keys[0].value;
  const last = keys[keys.length - 1];
  if (time >= last.time) return last.value;
  let low = 0;
  let high = keys.length - 1;
  while (high - low > 1) {
    const middle = (low + high) >> 1;
    if (keys[middle].time <= time) low = middle; else high = middle;
  }
  const a = keys[low];
  const b = keys[high];
  if (a.outType === Tangent.step) return a.value;
  if (a.outType === Tangent.stepNext) return b.value;
  const span = b.time - a.time;
  const s = (time - a.time) / span;
  const m0 = slopeAt(keys, low, 'out') * span;
  const m1 = slopeAt(keys, high, 'in') * span;
  const s2 = s * s;
  const s3 = s2 * s;
  return (2 * s3 - 3 * s2 + 1) * a.value + (s3 - 2 * s2 + s) * m0 + (-2 * s3 + 3 * s2) * b.value +
    (s3 - s2) * m1;
}
