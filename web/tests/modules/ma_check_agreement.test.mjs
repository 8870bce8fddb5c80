// The preview against tests/extended/ma_check.py, the repository's
// independent reader of the extended mode's output: on every corpus scene
// converted by the command line (KESTRUN_BINARY), both readings give the
// same world matrix for every transform at every frame where ma_check's
// straight-line evaluation is exact (curves all linear, or the frame a key).
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readdirSync, readFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';

import { channelValues, localMatrix } from '../../site/preview.js';
import { sceneOf } from '../../site/scene_model.js';
import { Tangent } from '../../site/anim_curve.js';

const SOURCE = process.env.KESTRUN_SOURCE_DIR ?? new URL('../../..', import.meta.url).pathname;
const BINARY = process.env.KESTRUN_BINARY;
const CORPUS = join(SOURCE, 'tests/data/ase-corpus');

function worldMatrix(model, name, frame) {
  const t = model.transforms.get(name);
  const local = localMatrix(t, channelValues(t, frame));
  return t.parent && model.transforms.has(t.parent) ? worldMatrix(model, t.parent, frame).multiply(local) : local;
}

/// The frames at which straight lines between keys are the curves of `name` and its parents.
function exactFrames(model, name) {
  const curves = [];
  for (let t = model.transforms.get(name); t; t = model.transforms.get(t.parent)) curves.push(...Object.values(t.curves));
  const { first, last } = model.frames;
  // The range's ends and eighths, and up to eight keys of each curve.
  const candidates = new Set([first, last]);
  for (let i = 1; i < 8; ++i) candidates.add(first + ((last - first) * i) / 8);
  for (const keys of curves) {
    for (let i = 0; i < keys.length; i += Math.ceil(keys.length / 8)) candidates.add(keys[i].time);
  }
  const straight = (keys) => keys.every((k) => k.inType === Tangent.linear && k.outType === Tangent.linear);
  return [...candidates].filter((frame) => curves.every((keys) => straight(keys) || keys.some((k) => k.time === frame) ||
    frame <= keys[0].time || frame >= keys[keys.length - 1].time));
}

test('the preview places every node where ma_check.py does', { skip: !BINARY && 'KESTRUN_BINARY names no program' }, () => {
  const directory = mkdtempSync(join(tmpdir(), 'kestrun-agreement-'));
  let compared = 0;
  for (const file of readdirSync(CORPUS).filter((f) => /\.ase$/i.test(f))) {
    const output = join(directory, `${file}.ma`);
    if (spawnSync(BINARY, [join(CORPUS, file), output, '--extended']).status !== 0) continue;
    const model = sceneOf(readFileSync(output, 'latin1'));
    const asks = [...model.transforms.keys()].flatMap((name) => exactFrames(model, name).map((frame) => [name, frame]));
    const python = spawnSync('python3', ['-c', `
import json, sys
sys.path.insert(0, sys.argv[1])
import ma_check
scene = ma_check.read(open(sys.argv[2], encoding="latin-1").read())
asks = json.load(sys.stdin)
print(json.dumps([sum(scene.world_matrix(name, frame), []) for name, frame in asks]))`,
    join(SOURCE, 'tests/extended'), output], { input: JSON.stringify(asks), encoding: 'utf8', maxBuffer: 1 << 28 });
    assert.equal(python.status, 0, python.stderr);
    const theirs = JSON.parse(python.stdout);
    asks.forEach(([name, frame], i) => {
      const ours = worldMatrix(model, name, frame).toArray();
      const scale = Math.max(1, ...theirs[i].map(Math.abs));
      ours.forEach((value, k) => assert.ok(Math.abs(value - theirs[i][k]) <= 1e-6 * scale,
        `${file} ${name} frame ${frame}: ${ours} against ${theirs[i]}`));
    });
    compared += asks.length;
  }
  assert.ok(compared > 500, `${compared} placements compared`);
});
