// Animation curves evaluated as Maya evaluates them: each tangent type's
// shape between keys, read from animCurve nodes as the converter writes them.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { curveKeys, evaluate, Tangent } from '../../site/anim_curve.js';
import { readMayaAscii } from '../../site/ma_reader.js';

const key = (time, value, inType, outType = inType, inSlope = 0, outSlope = 0) =>
  ({ time, value, inType, outType, inSlope, outSlope });
const slopeAt = (keys, t, h = 1e-4) => (evaluate(keys, t + h) - evaluate(keys, t)) / h;

test('each tangent type gives its shape', () => {
  const { linear, step, spline, fixed, flat, clamped } = Tangent;
  const cases = [
    // [what, keys, [time, expected value]...]
    ['linear runs straight', [key(0, 0, linear), key(10, 10, linear)], [[5, 5], [2.5, 2.5]]],
    ['the curve holds before the first key and after the last', [key(0, 3, linear), key(10, 7, linear)],
      [[-5, 3], [15, 7]]],
    ['step holds until the next key', [key(0, 1, step), key(10, 4, step)], [[9.99, 1], [10, 4]]],
    ['spline through collinear keys is a line', [key(0, 0, spline), key(10, 10, spline), key(20, 20, spline)],
      [[5, 5], [15, 15]]],
    ['flat tangents ease in and out at half way', [key(0, 0, flat), key(10, 8, flat)], [[5, 4]]],
    ['a fixed tangent of slope zero is flat', [key(0, 0, fixed, fixed), key(10, 8, fixed, fixed)], [[5, 4]]],
    ['clamped keys do not overshoot a plateau', [key(0, 0, clamped), key(10, 5, clamped), key(20, 5, clamped)],
      [[15, 5]]],
  ];
  for (const [what, keys, samples] of cases) {
    for (const [time, expected] of samples) {
      assert.ok(Math.abs(evaluate(keys, time) - expected) < 1e-9, `${what}: at ${time} ${evaluate(keys, time)}`);
    }
  }
});

test('a spline key between higher neighbours is a smooth peak', () => {
  const keys = [key(0, 0, Tangent.spline), key(10, 10, Tangent.spline), key(20, 0, Tangent.spline)];
  assert.ok(Math.abs(slopeAt(keys, 10)) < 1e-3);
  assert.ok(evaluate(keys, 9) < 10 && evaluate(keys, 11) < 10);
  assert.ok(Math.abs(evaluate(keys, 5) - evaluate(keys, 15)) < 1e-9);
});

test('fixed tangents leave and reach their keys at the slope the file gives', () => {
  // As the extended mode writes them: unit directions, seconds across and value up.
  const text = `currentUnit -l centimeter -a degree -t ntsc;
createNode animCurveTL -n "Box_translateX";
	setAttr ".tan" 2;
	setAttr ".wgt" no;
	setAttr -s 3 ".ktv[0:2]" 0 0 15 10 30 0;
	setAttr -s 3 ".kit[0:2]" 1 1 2;
	setAttr -s 3 ".kot[0:2]" 1 5 2;
	setAttr -s 3 ".kix[0:2]" 0.70710677 0.4472136 1;
	setAttr -s 3 ".kiy[0:2]" 0.70710677 0.8944272 0;
	setAttr -s 3 ".kox[0:2]" 0.31622776 0.4472136 1;
	setAttr -s 3 ".koy[0:2]" 0.94868330 0.8944272 0;`;
  const ma = readMayaAscii(text);
  const keys = curveKeys(ma.byName.get('Box_translateX'), ma.fps);
  assert.equal(ma.fps, 30);
  // Out of key 0: 3 units a second, 0.1 a frame; into key 1: 2 a second.
  assert.ok(Math.abs(slopeAt(keys, 0) - 0.1) < 1e-4, `${slopeAt(keys, 0)}`);
  assert.ok(Math.abs(slopeAt(keys, 15 - 1e-4) - 2 / 30) < 1e-4);
  // Key 1 steps out: its value holds to key 2.
  assert.equal(evaluate(keys, 29.9), 10);
  assert.equal(evaluate(keys, 30), 0);
});

test('keys without tangent types take the curve\'s, and rotation tangents are radians', () => {
  const ma = readMayaAscii(`currentUnit -t film;
createNode animCurveTU -n "a"; setAttr ".tan" 5; setAttr -s 2 ".ktv[0:1]" 0 1 10 2;
createNode animCurveTA -n "r"; setAttr -s 2 ".ktv[0:1]" 0 0 24 0; setAttr -s 2 ".kot[0:1]" 1 1;
  setAttr -s 2 ".kox[0:1]" 1 1; setAttr -s 2 ".koy[0:1]" 1 1;`);
  assert.equal(evaluate(curveKeys(ma.byName.get('a'), ma.fps), 9), 1);
  const rotation = curveKeys(ma.byName.get('r'), ma.fps);
  // One radian a second is 180/pi degrees a second, 24 frames.
  assert.ok(Math.abs(rotation[0].outSlope - 180 / Math.PI / 24) < 1e-12);
});
