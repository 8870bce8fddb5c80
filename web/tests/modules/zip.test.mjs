// The page's zip archives, read back by Python's zipfile, which checks each
// entry's CRC-32.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';

import { crc32, zip } from '../../site/zip.js';

test('CRC-32 of the check string', () => {
  assert.equal(crc32(new TextEncoder().encode('123456789')), 0xcbf43926);
  assert.equal(crc32(new Uint8Array()), 0);
});

test('an archive of several scenes opens with their bytes and names', () => {
  const bytes = new Uint8Array(70000).map((_, i) => (i * 7) & 0xff);
  const files = [{ name: 'box.ma', bytes: new TextEncoder().encode('//Maya ASCII 3.0 scene\n') },
    { name: 'deep/Ünïcode scene.ma', bytes }, { name: 'empty.ma', bytes: new Uint8Array() }];
  const path = join(mkdtempSync(join(tmpdir(), 'kestrun-zip-')), 'scenes.zip');
  writeFileSync(path, zip(files, new Date(2024, 4, 17, 13, 45, 30)));
  const python = spawnSync('python3', ['-c', `
import hashlib, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as archive:
    assert archive.testzip() is None
    for info in archive.infolist():
        print(info.filename, info.file_size, info.compress_type, info.date_time,
              hashlib.sha256(archive.read(info)).hexdigest())`, path], { encoding: 'utf8' });
  assert.equal(python.status, 0, python.stderr);
  const lines = python.stdout.trim().split('\n');
  const sha = async (b) => Buffer.from(await crypto.subtle.digest('SHA-256', b)).toString('hex');
  return Promise.all(files.map(async (file, i) => {
    assert.equal(lines[i], `${file.name} ${file.bytes.length} 0 (2024, 5, 17, 13, 45, 30) ${await sha(file.bytes)}`);
  }));
});
