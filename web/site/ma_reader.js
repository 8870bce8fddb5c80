// The page's own reader of Maya ASCII: the commands a converted scene holds
// (createNode, setAttr, connectAttr, parent, currentUnit, select, fileInfo,
// requires), read into plain data the preview builds its scene from. Other
// commands are passed over whole. It reads what Maya would read, including
// the default mode's spacing ("createNode animCurveTU-n\"X\"").

const TIME_UNITS = {
  game: 15, film: 24, pal: 25, ntsc: 30, show: 48, palf: 50, ntscf: 60,
  millisec: 1000, sec: 1, min: 1 / 60, hour: 1 / 3600,
};

/// Frames per second of a currentUnit -t value ("ntsc", "pal", "120fps").
export function framesPerSecond(unit) {
  if (unit in TIME_UNITS) return TIME_UNITS[unit];
  const match = /^(\d+(?:\.\d+)?)fps$/.exec(unit);
  return match ? Number(match[1]) : 24;
}

/// Splits the text into statements, each a list of tokens: words, and
/// strings as {string: text}. Comments (// to the line end) are dropped;
/// "a" + "b" joins strings; parentheses around values are dropped.
export function* statements(text) {
  let tokens = [];
  let i = 0;
  const n = text.length;
  while (i < n) {
    const c = text.charCodeAt(i);
    if (c <= 32) { ++i; continue; }
    if (c === 59) { // ;
      if (tokens.length) yield tokens;
      tokens = [];
      ++i;
      continue;
    }
    if (c === 47 && text.charCodeAt(i + 1) === 47) { // //
      const end = text.indexOf('\n', i);
      i = end < 0 ? n : end + 1;
      continue;
    }
    if (c === 34) { // "
      let value = '';
      let start = ++i;
      while (i < n && text.charCodeAt(i) !== 34) {
        if (text.charCodeAt(i) === 92) { // backslash
          value += text.slice(start, i);
          const e = text[i + 1];
          value += e === 'n' ? '\n' : e === 't' ? '\t' : e ?? '';
          i += 2;
          start = i;
        } else {
          ++i;
        }
      }
      value += text.slice(start, i);
      ++i;
      const last = tokens[tokens.length - 1];
      if (tokens.length >= 2 && last === '+' && typeof tokens[tokens.length - 2] === 'object') {
        tokens.pop();
        tokens[tokens.length - 1].string += value;
      } else {
        tokens.push({ string: value });
      }
      continue;
    }
    if (c === 40 || c === 41) { ++i; continue; } // ( )
    let end = i + 1;
    while (end < n) {
      const d = text.charCodeAt(end);
      if (d <= 32 || d === 59 || d === 34) break;
      ++end;
    }
    tokens.push(text.slice(i, end));
    i = end;
  }
  if (tokens.length) yield tokens;
}

const word = (token) => (typeof token === 'string' ? token : token.string);

/// The flags of a command that take one value; other flags take none.
const VALUED_FLAGS = {
  createNode: new Set(['-n', '-name', '-p', '-parent']),
  setAttr: new Set(['-s', '-size', '-k', '-keyable', '-l', '-lock', '-type', '-cb', '-channelBox',
    '-ch', '-caching']),
  connectAttr: new Set(['-l', '-lock', '-rd', '-referenceDest']),
};

/// Splits "name[3:5]" into its name and element range, or null.
function attributeRange(path) {
  const match = /^(.*)\[(\d+)(?::(\d+))?\]$/.exec(path);
  if (!match) return { name: path, first: null, last: null };
  const first = Number(match[2]);
  return { name: match[1], first, last: match[3] === undefined ? first : Number(match[3]) };
}

/// Reads the Maya ASCII `text`: {version, units: {linear, angle, time}, fps,
/// nodes (in order, each {name, type, parent, attrs}), byName (Map),
/// connections ([from, to] plugs), parents ([child, parent]), fileInfo}.
/// Each node's attrs maps an attribute ("vt", "uvst[0].uvsp") to its setAttr
/// calls in order: {first, last, type, values}, values being the raw words.
export function readMayaAscii(text) {
  const scene = {
    version: null, units: { linear: 'centimeter', angle: 'degree', time: 'film' }, fps: 24,
    nodes: [], byName: new Map(), connections: [], parents: [], fileInfo: {}, playback: null,
    skipped: 0,
  };
  let current = null;
  for (const tokens of statements(text)) {
    const command = word(tokens[0]);
    if (command === 'createNode' || command.startsWith('createNode')) {
      current = createNode(scene, tokens);
    } else if (command === 'setAttr') {
      if (current) setAttr(current, tokens);
    } else if (command === 'connectAttr') {
      const plugs = positional(tokens, VALUED_FLAGS.connectAttr);
      if (plugs.length >= 2) scene.connections.push([plugs[0], plugs[1]]);
    } else if (command === 'parent') {
      const names = positional(tokens, new Set()).filter((t) => !t.startsWith('-'));
      if (names.length >= 2) scene.parents.push([names[0], names[names.length - 1]]);
    } else if (command === 'select') {
      const names = positional(tokens, new Set());
      current = names.length ? { name: names[names.length - 1], type: null, attrs: new Map() } : null;
    } else if (command === 'currentUnit') {
      for (let i = 1; i + 1 < tokens.length; i += 2) {
        const flag = word(tokens[i]);
        const value = word(tokens[i + 1]);
        if (flag === '-l' || flag === '-linear') scene.units.linear = value;
        if (flag === '-a' || flag === '-angle') scene.units.angle = value;
        if (flag === '-t' || flag === '-time') scene.units.time = value;
      }
      scene.fps = framesPerSecond(scene.units.time);
    } else if (command === 'requires') {
      if (word(tokens[1] ?? '') === 'maya') scene.version = word(tokens[2] ?? '');
    } else if (command === 'fileInfo') {
      if (tokens.length >= 3) scene.fileInfo[word(tokens[1])] = word(tokens[2]);
    } else {
      ++scene.skipped;
    }
  }
  for (const node of scene.nodes) {
    if (node.type === 'script') readPlayback(scene, node);
  }
  return scene;
}

/// The arguments that are neither flags nor flag values.
function positional(tokens, valued) {
  const out = [];
  for (let i = 1; i < tokens.length; ++i) {
    const token = word(tokens[i]);
    if (typeof tokens[i] === 'string' && token.startsWith('-') && !/^-\d/.test(token)) {
      if (valued.has(token)) ++i;
      continue;
    }
    out.push(token);
  }
  return out;
}

function createNode(scene, tokens) {
  // The default mode may glue the type to its flag: "animCurveTU-n".
  const parts = [];
  for (const token of tokens) {
    if (typeof token === 'string' && !token.startsWith('-') && token.includes('-')) {
      const at = token.indexOf('-');
      parts.push(token.slice(0, at), token.slice(at));
    } else {
      parts.push(token);
    }
  }
  if (word(parts[0]) !== 'createNode') parts.splice(0, 1, 'createNode', word(parts[0]).slice(10));
  let type = null;
  let name = null;
  let parent = null;
  for (let i = 1; i < parts.length; ++i) {
    const token = word(parts[i]);
    if (typeof parts[i] === 'string' && token.startsWith('-')) {
      if (token === '-n' || token === '-name') name = word(parts[++i] ?? '');
      else if (token === '-p' || token === '-parent') parent = word(parts[++i] ?? '');
      continue;
    }
    if (type === null) type = token;
  }
  const node = { name: name ?? `${type}${scene.nodes.length + 1}`, type, parent, attrs: new Map() };
  scene.nodes.push(node);
  scene.byName.set(node.name, node);
  return node;
}

function setAttr(node, tokens) {
  let path = null;
  let type = null;
  const values = [];
  for (let i = 1; i < tokens.length; ++i) {
    const token = tokens[i];
    if (typeof token === 'string' && /^-[a-zA-Z]/.test(token)) {
      if (token === '-type') type = word(tokens[++i] ?? '');
      else if (VALUED_FLAGS.setAttr.has(token)) ++i;
      continue;
    }
    if (path === null && typeof token === 'object') {
      path = token.string;
      continue;
    }
    values.push(word(token));
  }
  if (path === null) return;
  const dot = path.indexOf('.');
  const { name, first, last } = attributeRange(dot >= 0 ? path.slice(dot + 1) : path);
  if (!node.attrs.has(name)) node.attrs.set(name, []);
  node.attrs.get(name).push({ first, last, type, values });
}

function readPlayback(scene, node) {
  for (const attribute of ['b', 'a', 'before', 'after']) {
    for (const call of node.attrs.get(attribute) ?? []) {
      const command = call.values.join(' ');
      if (!command.includes('playbackOptions')) continue;
      const flag = (names) => {
        for (const name of names) {
          const match = new RegExp(`(?:^|\\s)${name}\\s+(-?[\\d.]+)`).exec(command);
          if (match) return Number(match[1]);
        }
        return null;
      };
      scene.playback = {
        min: flag(['-min', '-minTime']), max: flag(['-max', '-maxTime']),
        start: flag(['-ast', '-animationStartTime']), end: flag(['-aet', '-animationEndTime']),
      };
    }
  }
}

/// The values of an array attribute ("vt", "ktv") as numbers, `width` per
/// element, element i at [i * width, (i + 1) * width).
export function numberArray(node, attribute, width) {
  const calls = node.attrs.get(attribute) ?? [];
  let count = 0;
  for (const call of calls) if (call.last !== null) count = Math.max(count, call.last + 1);
  const out = new Float64Array(count * width);
  for (const call of calls) {
    if (call.first === null) continue;
    const elements = Math.min(call.last - call.first + 1, Math.floor(call.values.length / width));
    for (let i = 0; i < elements * width; ++i) out[call.first * width + i] = parseNumber(call.values[i]);
  }
  return out;
}

/// One plain attribute's values as numbers (".t" -> [x, y, z]), or null.
export function numbers(node, attribute) {
  const calls = node.attrs.get(attribute);
  if (!calls) return null;
  return calls[calls.length - 1].values.map(parseNumber);
}

/// One plain attribute's value as a string, or null.
export function text(node, attribute) {
  const calls = node.attrs.get(attribute);
  return calls ? calls[calls.length - 1].values.join(' ') : null;
}

export function parseNumber(value) {
  if (value === 'yes' || value === 'on' || value === 'true') return 1;
  if (value === 'no' || value === 'off' || value === 'false') return 0;
  return Number(value);
}

/// The faces of a mesh's "fc" (polyFaces) values: [{edges, uvs}] where uvs
/// holds the UV indices of UV set 0 (or null).
export function polyFaces(node) {
  const faces = [];
  for (const call of node.attrs.get('fc') ?? []) {
    const v = call.values;
    let face = null;
    for (let i = 0; i < v.length;) {
      const tag = v[i];
      if (tag === 'f') {
        const count = Number(v[i + 1]);
        face = { edges: v.slice(i + 2, i + 2 + count).map(Number), uvs: null, holes: [] };
        faces.push(face);
        i += 2 + count;
      } else if (tag === 'h') {
        const count = Number(v[i + 1]);
        if (face) face.holes.push(v.slice(i + 2, i + 2 + count).map(Number));
        i += 2 + count;
      } else if (tag === 'mu') {
        const set = Number(v[i + 1]);
        const count = Number(v[i + 2]);
        if (face && set === 0) face.uvs = v.slice(i + 3, i + 3 + count).map(Number);
        i += 3 + count;
      } else if (tag === 'mc' || tag === 'mf') {
        const count = Number(v[i + 2]);
        i += 3 + count;
      } else if (tag === 'fc') {
        i += 2 + Number(v[i + 1]);
      } else {
        ++i;
      }
    }
  }
  return faces;
}
