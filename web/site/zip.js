// A zip archive of stored (uncompressed) entries, each with its CRC-32: what
// the page downloads when several scenes are converted. Maya ASCII
// compresses well, but stored entries need no compressor and open anywhere.

const CRC_TABLE = (() => {
  const table = new Uint32Array(256);
  for (let n = 0; n < 256; ++n) {
    let c = n;
    for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    table[n] = c >>> 0;
  }
  return table;
})();

/// The CRC-32 (as zip and PNG use it) of `bytes`.
export function crc32(bytes) {
  let crc = 0xffffffff;
  for (let i = 0; i < bytes.length; ++i) crc = CRC_TABLE[(crc ^ bytes[i]) & 0xff] ^ (crc >>> 8);
  return (crc ^ 0xffffffff) >>> 0;
}

/// The date and time fields of a zip entry for `date` (local time, 2 s steps).
function dosTime(date) {
  const year = Math.min(Math.max(date.getFullYear(), 1980), 2107);
  return {
    time: (date.getHours() << 11) | (date.getMinutes() << 5) | (date.getSeconds() >> 1),
    date: ((year - 1980) << 9) | ((date.getMonth() + 1) << 5) | date.getDate(),
  };
}

/// The zip archive of `files` ([{name, bytes (Uint8Array)}]) as a Uint8Array.
/// Names are stored as UTF-8 (flag bit 11); an archive holds at most 65,535
/// entries of under 4 GiB each, with no more than 4 GiB in all.
export function zip(files, date = new Date()) {
  const encoder = new TextEncoder();
  const { time, date: day } = dosTime(date);
  const entries = files.map((file) => ({ name: encoder.encode(file.name), bytes: file.bytes, crc: crc32(file.bytes) }));
  const localSize = entries.reduce((sum, e) => sum + 30 + e.name.length + e.bytes.length, 0);
  const centralSize = entries.reduce((sum, e) => sum + 46 + e.name.length, 0);
  if (entries.length > 0xffff || localSize + centralSize > 0xffffffff) {
    throw new RangeError('too much for one zip archive');
  }
  const out = new Uint8Array(localSize + centralSize + 22);
  const view = new DataView(out.buffer);
  let at = 0;
  const offsets = [];
  for (const e of entries) {
    offsets.push(at);
    view.setUint32(at, 0x04034b50, true);
    view.setUint16(at + 4, 20, true); // version needed: 2.0
    view.setUint16(at + 6, 0x0800, true); // UTF-8 names
    view.setUint16(at + 8, 0, true); // stored
    view.setUint16(at + 10, time, true);
    view.setUint16(at + 12, day, true);
    view.setUint32(at + 14, e.crc, true);
    view.setUint32(at + 18, e.bytes.length, true);
    view.setUint32(at + 22, e.bytes.length, true);
    view.setUint16(at + 26, e.name.length, true);
    view.setUint16(at + 28, 0, true);
    out.set(e.name, at + 30);
    out.set(e.bytes, at + 30 + e.name.length);
    at += 30 + e.name.length + e.bytes.length;
  }
  const central = at;
  entries.forEach((e, i) => {
    view.setUint32(at, 0x02014b50, true);
    view.setUint16(at + 4, 20, true); // made by
    view.setUint16(at + 6, 20, true);
    view.setUint16(at + 8, 0x0800, true);
    view.setUint16(at + 10, 0, true);
    view.setUint16(at + 12, time, true);
    view.setUint16(at + 14, day, true);
    view.setUint32(at + 16, e.crc, true);
    view.setUint32(at + 20, e.bytes.length, true);
    view.setUint32(at + 24, e.bytes.length, true);
    view.setUint16(at + 28, e.name.length, true);
    // Extra field, comment, disk number, internal and external attributes: none.
    view.setUint32(at + 42, offsets[i], true);
    out.set(e.name, at + 46);
    at += 46 + e.name.length;
  });
  view.setUint32(at, 0x06054b50, true);
  view.setUint16(at + 8, entries.length, true);
  view.setUint16(at + 10, entries.length, true);
  view.setUint32(at + 12, at - central, true);
  view.setUint32(at + 16, central, true);
  return out;
}
