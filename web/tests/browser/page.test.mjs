// The web page in Debian's Chromium, headless, driven by puppeteer-core over
// the DevTools protocol, against the site of the wasm build served on
// localhost: corpus files converted in both modes and with switches give the
// command line's bytes (the date line aside) and messages; the preview's
// reading of each .ma agrees with the scene; a screenshot of the preview
// shows the model; the timeline moves it; several scenes download as one
// zip; a dropped image textures its material; a broken file shows its error
// and the page goes on converting.
//
// KESTRUN_SITE_DIR: the built site; KESTRUN_BINARY: the natively built
// command line; KESTRUN_SOURCE_DIR: the repository; KESTRUN_SCREENSHOTS:
// where the screenshots are kept.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { copyFileSync, existsSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { basename, extname, join } from 'node:path';
import { after, before, test } from 'node:test';
import { deflateSync } from 'node:zlib';

import puppeteer from 'puppeteer-core';

import { crc32 } from '../../site/zip.js';

const SITE = process.env.KESTRUN_SITE_DIR;
const BINARY = process.env.KESTRUN_BINARY;
const SOURCE = process.env.KESTRUN_SOURCE_DIR ?? new URL('../../..', import.meta.url).pathname;
const SCREENSHOTS = process.env.KESTRUN_SCREENSHOTS ?? mkdtempSync(join(tmpdir(), 'kestrun-screenshots-'));
const CORPUS = join(SOURCE, 'tests/data/ase-corpus');
const CORPUS_FILES = readdirSync(CORPUS).filter((f) => /\.ase$/i.test(f)).map((f) => join(CORPUS, f));
const BROWSER = process.env.KESTRUN_CHROMIUM ?? '/usr/bin/chromium';
const BACKGROUND = [0x20, 0x24, 0x2a];

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm' };
let server;
let origin;
let browser;
const pageErrors = [];

before(async () => {
  assert.ok(SITE && existsSync(join(SITE, 'kestrun.wasm')), 'KESTRUN_SITE_DIR names no built site');
  assert.ok(BINARY && existsSync(BINARY), `no native Kestrun at ${BINARY}: build the release preset first`);
  assert.ok(existsSync(BROWSER), `no browser at ${BROWSER}: apt-get install chromium`);
  mkdirSync(SCREENSHOTS, { recursive: true });
  server = createServer((request, response) => {
    const path = join(SITE, decodeURIComponent(new URL(request.url, 'http://x').pathname).replace(/\/$/, '/index.html'));
    if (!path.startsWith(SITE) || !existsSync(path)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[extname(path)] ?? 'application/octet-stream' });
    response.end(readFileSync(path));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  origin = `http://127.0.0.1:${server.address().port}`;
  browser = await puppeteer.launch({
    executablePath: BROWSER, headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--enable-unsafe-swiftshader', '--use-angle=swiftshader',
      '--window-size=1280,900'],
  });
});

after(async () => {
  await browser?.close();
  server?.close();
});

async function openPage() {
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 900 });
  page.on('pageerror', (error) => pageErrors.push(String(error)));
  await page.goto(`${origin}/index.html`);
  await page.waitForFunction(() => window.kestrunPage);
  return page;
}

/// Converts `files` on `page` with the mode and switches given, as a user
/// would: ticks the boxes, chooses the files, presses Convert; returns the
/// results the page lists, with the bytes each download link gives.
async function convert(page, files, { extended = false, switches = [], zUp = false } = {}) {
  await page.evaluate((extended, switches, zUp) => {
    document.querySelector(`input[name=mode][value=${extended ? 'extended' : 'default'}]`).click();
    for (const box of document.querySelectorAll('input[name=switch]')) {
      if (box.checked !== switches.includes(box.value)) box.click();
    }
    const zup = document.querySelector('#zup');
    if (zup.checked !== zUp) zup.click();
  }, extended, switches, zUp);
  const before = await page.evaluate(() => window.kestrunPage.results.length);
  await (await page.$('#files')).uploadFile(...files);
  await page.click('#convert');
  await page.waitForFunction((count) => {
    const { results } = window.kestrunPage;
    return results.length === count && results.every((e) => e.result || e.error) &&
      !document.querySelector('#results progress');
  }, { timeout: 120000 }, before + files.filter((f) => !/\.(png|jpe?g)$/i.test(f)).length);
  return page.evaluate(async (from) => {
    const out = [];
    for (const entry of window.kestrunPage.results.slice(from)) {
      const link = entry.element.querySelector('a.download');
      const bytes = link ? new Uint8Array(await (await fetch(link.href)).arrayBuffer()) : null;
      let binary = '';
      for (const b of bytes ?? []) binary += String.fromCharCode(b);
      out.push({ name: entry.name, error: entry.error ?? null, code: entry.result?.code, message: entry.result?.message,
        warnings: entry.result?.warnings, counts: entry.result?.counts, status: entry.element.textContent,
        progressShown: entry.progressShown ?? 0,
        bytes: bytes && btoa(binary), download: link?.download ?? null });
    }
    return out;
  }, before);
}

/// The command line's output, stderr and status for `file` converted with `switches`.
function commandLine(file, switches) {
  const directory = mkdtempSync(join(tmpdir(), 'kestrun-web-'));
  const name = basename(file);
  copyFileSync(file, join(directory, name));
  const output = name.replace(/\.[^.]*$/, '') + '.ma';
  const run = spawnSync(BINARY, [name, output, ...switches], { cwd: directory });
  const path = join(directory, output);
  return { status: run.status, stderr: run.stderr.toString(), bytes: existsSync(path) ? readFileSync(path) : null };
}

const withoutDate = (bytes) => bytes.toString('latin1').replace(/^\/\/Last modified:.*\n/m, '');

async function checkAgainstCommandLine(page, files, options, switches) {
  const results = await convert(page, files, options);
  assert.equal(results.length, files.length);
  for (const [i, file] of files.entries()) {
    const result = results[i];
    const expected = commandLine(file, switches);
    const what = `${basename(file)} ${switches.join(' ')}`;
    assert.equal(result.error, null, what);
    assert.equal(result.code === 0 ? 0 : 1, expected.status, `${what}: ${result.message}`);
    if (result.code !== 0) {
      assert.ok(expected.stderr.includes(result.message), `${what}: ${result.message} / ${expected.stderr}`);
      assert.ok(result.status.includes(result.message), `${what}: the page shows the error`);
    }
    const stderrWarnings = expected.stderr.split('\n').filter((l) => l.startsWith('Warning: ')).map((l) => l.slice(9));
    assert.deepEqual(result.warnings, stderrWarnings, what);
    if (expected.bytes && result.code === 0) {
      assert.equal(withoutDate(Buffer.from(result.bytes, 'base64')), withoutDate(expected.bytes), what);
    }
  }
  return results;
}

test('corpus files convert in the page to the command line\'s bytes, in both modes and with switches', async () => {
  const page = await openPage();
  await checkAgainstCommandLine(page, CORPUS_FILES, {}, []);
  const extended = await checkAgainstCommandLine(page, CORPUS_FILES, { extended: true }, ['--extended']);
  // The progress bar moves through a file of more than a megabyte.
  assert.ok(extended.find((r) => r.name === 'MotionCaptureROM.ase').progressShown >= 3);
  const some = CORPUS_FILES.filter((f) => /anim2|TargetCamera|Rifle\.ase/.test(f));
  await checkAgainstCommandLine(page, some, { switches: ['g', 'l'] }, ['-g', '-l']);
  await checkAgainstCommandLine(page, some, { extended: true, switches: ['c', 'a'], zUp: true },
    ['-a', '-c', '--extended', '--z-up']);
  await page.close();
  assert.deepEqual(pageErrors, []);
});

test('the preview reads each .ma as the scene it is', async () => {
  const page = await openPage();
  for (const extended of [false, true]) {
    const results = await convert(page, CORPUS_FILES, { extended });
    const seen = await page.evaluate(() => window.kestrunPage.results.map((entry, i) => {
      if (entry.result?.code !== 0) return null;
      window.kestrunPage.choose(entry);
      return { i, counts: entry.model.counts };
    }));
    const offset = seen.length - results.length;
    for (const [i, result] of results.entries()) {
      if (result.code !== 0) continue;
      const { counts } = seen[offset + i];
      const text = Buffer.from(result.bytes, 'base64').toString('latin1');
      const what = `${result.name} ${extended ? 'extended' : 'default'}`;
      // Counted in the text itself, apart from the reader: nodes and triangles.
      const nodes = text.match(/^\s*createNode/gm)?.length ?? 0;
      let triangles = 0;
      for (const face of text.matchAll(/(?:^|\s)f (\d+) /g)) triangles += Number(face[1]) - 2;
      assert.deepEqual(
        [counts.nodes, counts.triangles, counts.meshes, counts.lights, counts.cameras, counts.curves,
          counts.firstFrame, counts.lastFrame],
        [nodes, triangles, result.counts.meshes, result.counts.lights, result.counts.cameras,
          result.counts.animationCurves, result.counts.firstFrame, result.counts.lastFrame], what);
      if (result.counts.animationCurves) assert.ok(counts.animatedChannels > 0, what);
    }
  }
  await page.close();
});

/// The share of the preview's pixels that are not its background.
const drawnShare = (page) => page.evaluate((background) => {
  const source = document.querySelector('#preview');
  const canvas = document.createElement('canvas');
  canvas.width = source.width;
  canvas.height = source.height;
  const context = canvas.getContext('2d');
  context.drawImage(source, 0, 0);
  const { data } = context.getImageData(0, 0, canvas.width, canvas.height);
  let drawn = 0;
  for (let i = 0; i < data.length; i += 4) {
    const d = Math.abs(data[i] - background[0]) + Math.abs(data[i + 1] - background[1]) + Math.abs(data[i + 2] - background[2]);
    if (d > 24) ++drawn;
  }
  return drawn / (data.length / 4);
}, BACKGROUND);

test('the preview shows the model, and the timeline moves it', async () => {
  const page = await openPage();
  // The default mode keys only the example's kind of controllers: no corpus file has them.
  const example = join(SOURCE, 'examples/box_scene.ase');
  for (const [path, extended] of [[join(CORPUS, 'anim2.ASE'), true], [example, false],
    [join(CORPUS, 'TargetCameraAnim.ase'), true], [join(CORPUS, 'RotatingCube.ASE'), true],
    [join(CORPUS, 'Rifle.ase'), false]]) {
    const file = basename(path);
    await convert(page, [path], { extended });
    const mode = extended ? 'extended' : 'default';
    await page.evaluate(() => {
      const { results } = window.kestrunPage;
      window.kestrunPage.choose(results[results.length - 1]);
    });
    const shot = join(SCREENSHOTS, `${basename(file, extname(file))}-${mode}.png`);
    await (await page.$('#preview')).screenshot({ path: shot });
    const withMeshes = await drawnShare(page);
    await page.evaluate(() => window.kestrunPage.preview.showMeshes(false));
    const withoutMeshes = await drawnShare(page);
    await page.evaluate(() => window.kestrunPage.preview.showMeshes(true));
    // The meshes cover a good part of the picture: more than the symbols and grid alone.
    assert.ok(withMeshes - withoutMeshes > 0.02, `${file} ${mode}: ${withMeshes} drawn, ${withoutMeshes} without meshes`);
    assert.ok(readFileSync(shot).length > 5000, `${shot} is a picture`);
    // An animated node stands or turns elsewhere half way through the playback range.
    const moved = await page.evaluate(() => {
      const { preview } = window.kestrunPage;
      const model = preview.model;
      const animated = [...model.transforms.values()].find((t) => Object.keys(t.curves).length);
      if (!animated) return null;
      const { first, last } = model.frames;
      window.kestrunPage.showFrame(first);
      const start = preview.worldMatrix(animated.name);
      window.kestrunPage.showFrame((first + last) / 2);
      const middle = preview.worldMatrix(animated.name);
      return { start, middle };
    });
    if (file !== 'Rifle.ase') {
      assert.ok(moved, `${file}: an animated node`);
      assert.notDeepEqual(moved.start, moved.middle, `${file} ${mode}: it moves`);
    }
  }
  await page.close();
});

/// A PNG of 64 by 64 pixels in two colours, for the texture test.
function checkerPng() {
  const size = 64;
  const rows = [];
  for (let y = 0; y < size; ++y) {
    const row = [0];
    for (let x = 0; x < size; ++x) row.push(...(((x >> 3) + (y >> 3)) & 1 ? [230, 40, 40] : [40, 60, 230]));
    rows.push(...row);
  }
  const chunk = (type, data) => {
    const body = Buffer.concat([Buffer.from(type, 'latin1'), data]);
    const length = Buffer.alloc(4);
    length.writeUInt32BE(data.length);
    const crc = Buffer.alloc(4);
    crc.writeUInt32BE(crc32(body));
    return Buffer.concat([length, body, crc]);
  };
  const header = Buffer.alloc(13);
  header.writeUInt32BE(size, 0);
  header.writeUInt32BE(size, 4);
  header.set([8, 2, 0, 0, 0], 8);
  return Buffer.concat([Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]), chunk('IHDR', header),
    chunk('IDAT', deflateSync(Buffer.from(rows))), chunk('IEND', Buffer.alloc(0))]);
}

test('a dropped image textures its material; several scenes download as one zip', async () => {
  const page = await openPage();
  const directory = mkdtempSync(join(tmpdir(), 'kestrun-texture-'));
  const image = join(directory, 'UVTransformTestImg.png');
  writeFileSync(image, checkerPng());
  const scenes = ['UVTransform_Normal.ASE', 'anim.ASE'].map((f) => join(CORPUS, f));
  const results = await convert(page, [image, ...scenes], { extended: true });
  const textured = await page.evaluate(() => new Promise((resolve) => {
    window.kestrunPage.choose(window.kestrunPage.results[0]);
    setTimeout(() => {
      let maps = 0;
      window.kestrunPage.preview.root.traverse((o) => { if (o.material?.map?.image) ++maps; });
      window.kestrunPage.preview.render();
      resolve(maps);
    }, 500);
  }));
  assert.equal(textured, 1);
  await (await page.$('#preview')).screenshot({ path: join(SCREENSHOTS, 'UVTransform_Normal-textured.png') });

  await page.click('#download-all');
  const zipBytes = await page.evaluate(async () => {
    const bytes = new Uint8Array(await (await fetch(window.kestrunPage.lastZip)).arrayBuffer());
    let binary = '';
    for (const b of bytes) binary += String.fromCharCode(b);
    return btoa(binary);
  });
  const zipPath = join(directory, 'scenes.zip');
  writeFileSync(zipPath, Buffer.from(zipBytes, 'base64'));
  const python = spawnSync('python3', ['-c', `
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as archive:
    assert archive.testzip() is None
    for info in archive.infolist():
        sys.stdout.buffer.write(info.filename.encode() + b"\\0" + archive.read(info).hex().encode() + b"\\n")`, zipPath]);
  assert.equal(python.status, 0, python.stderr.toString());
  const entries = python.stdout.toString().trim().split('\n').map((line) => line.split('\0'));
  assert.deepEqual(entries.map(([name]) => name), results.map((r) => r.download));
  for (const [i, [, hex]] of entries.entries()) assert.equal(hex, Buffer.from(results[i].bytes, 'base64').toString('hex'));
  await page.close();
});

test('a broken file shows its error, and the page converts on', async () => {
  const page = await openPage();
  const directory = mkdtempSync(join(tmpdir(), 'kestrun-broken-'));
  const cases = [
    ['noise.ase', Buffer.from(Array.from({ length: 4096 }, (_, i) => (i * 131 + 7) & 0xff))],
    ['truncated.ase', readFileSync(join(CORPUS, 'anim2.ASE')).subarray(0, 9000)],
    ['empty.ase', Buffer.alloc(0)],
  ];
  for (const [name, bytes] of cases) {
    const path = join(directory, name);
    writeFileSync(path, bytes);
    for (const extended of [false, true]) {
      await checkAgainstCommandLine(page, [path], { extended }, extended ? ['--extended'] : []);
    }
  }
  const after = await checkAgainstCommandLine(page, [join(CORPUS, 'anim2.ASE')], { extended: true }, ['--extended']);
  assert.equal(after[0].code, 0);
  await page.close();
  assert.deepEqual(pageErrors, []);
});
