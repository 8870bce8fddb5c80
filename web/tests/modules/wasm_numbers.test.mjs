// The WebAssembly build's own number conversions (web/wasm/cxx_fallback.cpp:
// emscripten's C++ library has no floating-point to_chars or from_chars)
// against the native program: numbers with exponents, long digit strings,
// values too large or too small for a double, and coordinates large enough to
// be written in scientific form, converted in both modes by kestrun.js under
// Node.js and by KESTRUN_BINARY, give the same bytes (the date line aside).
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';

const SITE = process.env.KESTRUN_SITE_DIR;
const BINARY = process.env.KESTRUN_BINARY;
const SOURCE = process.env.KESTRUN_SOURCE_DIR ?? new URL('../../..', import.meta.url).pathname;
const skip = !(SITE && existsSync(join(SITE, 'kestrun.js')) && BINARY) && 'needs KESTRUN_SITE_DIR and KESTRUN_BINARY';

const NUMBERS = ['1.5e13', '-2.5E+14', '0.12345678901234567890123', '123456789012345678901234', '2e-3', '-7.25e-2',
  '1e400', '-1e-400', '4.9e-324', '1.7976931348623157e308', '+3.5e1', '5.e2', '.5e1', '1e', '-inf', 'nan', '0x1p3',
  '-0', '1234567890123.5', '9.999999e12'];

test('numbers the fallback reads and writes give the native bytes', { skip }, async () => {
  const createKestrun = createRequire(import.meta.url)(join(SITE, 'kestrun.js'));
  const converter = await createKestrun({ wasmBinary: readFileSync(join(SITE, 'kestrun.wasm')) });
  const example = readFileSync(join(SOURCE, 'examples/box_scene.ase'), 'latin1');
  const directory = mkdtempSync(join(tmpdir(), 'kestrun-numbers-'));
  for (const [i, number] of NUMBERS.entries()) {
    // The number as a vertex coordinate and as the node's position.
    const scene = example.replace('-10.0000\t-10.0000\t0.0000', `${number}\t-10.0000\t${number}`)
      .replace('*TM_POS 0.0000\t0.0000\t0.0000', `*TM_POS ${number}\t0.0000\t${number}`);
    const input = join(directory, `n${i}.ase`);
    writeFileSync(input, scene, 'latin1');
    for (const switches of [[], ['--extended']]) {
      const output = join(directory, `n${i}.ma`);
      const native = spawnSync(BINARY, [input, output, ...switches]);
      const result = converter.convert(new Uint8Array(readFileSync(input)),
        { extended: switches.length > 0, inputName: input, outputName: output }, () => {});
      const what = `${number} ${switches}`;
      assert.equal(result.code === 0 ? 0 : 1, native.status, what);
      const withoutDate = (text) => text.replace(/^\/\/Last modified:.*\n/m, '');
      assert.equal(withoutDate(Buffer.from(result.output).toString('latin1')),
        withoutDate(readFileSync(output, 'latin1')), what);
    }
  }
});
