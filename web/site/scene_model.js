// What the preview shows, gathered from a read Maya ASCII scene (ma_reader.js)
// as plain data: the DAG (transforms and their shapes), meshes as triangle
// lists with normals and UVs, materials with their diffuse texture's file
// name, lights, cameras, the curves that drive transform channels, the
// playback range and rate, and counts of each.

import { curveKeys } from './anim_curve.js';
import { numberArray, numbers, polyFaces, readMayaAscii, text } from './ma_reader.js';

const LIGHT_TYPES = new Set(['pointLight', 'directionalLight', 'spotLight', 'ambientLight', 'areaLight',
  'volumeLight']);
const CHANNELS = {
  tx: 'tx', ty: 'ty', tz: 'tz', rx: 'rx', ry: 'ry', rz: 'rz', sx: 'sx', sy: 'sy', sz: 'sz', v: 'v',
  translateX: 'tx', translateY: 'ty', translateZ: 'tz', rotateX: 'rx', rotateY: 'ry', rotateZ: 'rz',
  scaleX: 'sx', scaleY: 'sy', scaleZ: 'sz', visibility: 'v',
};

const nodeOf = (plug) => plug.split('.')[0].replace(/^:/, '').split('|').pop();
const attributeOf = (plug) => plug.slice(plug.indexOf('.') + 1);

/// The preview's scene of the Maya ASCII `text`.
export function sceneOf(text) {
  return buildScene(readMayaAscii(text));
}

export function buildScene(ma) {
  const transforms = new Map();
  const shapes = [];
  for (const node of ma.nodes) {
    if (node.type === 'transform' || node.type === 'joint') {
      transforms.set(node.name, transformOf(node));
    }
  }
  for (const [child, parent] of ma.parents) {
    if (transforms.has(child)) transforms.get(child).parent = parent;
  }
  const materials = materialsOf(ma);
  const shadingOf = new Map(); // mesh name -> material name
  for (const [from, to] of ma.connections) {
    const engine = ma.byName.get(nodeOf(to));
    if (engine?.type === 'shadingEngine' && attributeOf(from).startsWith('iog')) {
      shadingOf.set(nodeOf(from), materials.byEngine.get(engine.name) ?? null);
    }
  }
  let triangles = 0;
  for (const node of ma.nodes) {
    if (node.type === 'mesh') {
      const mesh = meshOf(node);
      mesh.material = shadingOf.get(node.name) ?? null;
      triangles += mesh.positions.length / 9;
      shapes.push(mesh);
    } else if (LIGHT_TYPES.has(node.type)) {
      shapes.push({ kind: 'light', name: node.name, parent: node.parent, type: node.type,
        color: numbers(node, 'cl') ?? [1, 1, 1], intensity: (numbers(node, 'in') ?? [1])[0],
        coneAngle: (numbers(node, 'ca') ?? [40])[0] });
    } else if (node.type === 'camera') {
      shapes.push({ kind: 'camera', name: node.name, parent: node.parent,
        focalLength: (numbers(node, 'fl') ?? [35])[0],
        aperture: numbers(node, 'cap') ?? [1.41732, 0.94488],
        centreOfInterest: (numbers(node, 'coi') ?? [5])[0] });
    }
  }
  let curves = 0;
  for (const node of ma.nodes) if (node.type?.startsWith('animCurve')) ++curves;
  for (const [from, to] of ma.connections) {
    const curve = ma.byName.get(nodeOf(from));
    const target = transforms.get(nodeOf(to));
    const channel = CHANNELS[attributeOf(to)];
    if (curve?.type?.startsWith('animCurveT') && target && channel) {
      target.curves[channel] = curveKeys(curve, ma.fps);
    }
  }
  const playback = ma.playback ?? {};
  const first = playback.min ?? playback.start ?? 0;
  const last = playback.max ?? playback.end ?? first;
  return {
    version: ma.version, units: ma.units, fps: ma.fps, frames: { first, last },
    transforms, shapes, materials: materials.list,
    counts: {
      nodes: ma.nodes.length, transforms: transforms.size,
      meshes: shapes.filter((s) => s.kind === 'mesh').length,
      lights: shapes.filter((s) => s.kind === 'light').length,
      cameras: shapes.filter((s) => s.kind === 'camera').length,
      triangles, curves, animatedChannels: [...transforms.values()]
        .reduce((sum, t) => sum + Object.keys(t.curves).length, 0),
      firstFrame: first, lastFrame: last,
    },
  };
}

function transformOf(node) {
  const rotateOrder = (numbers(node, 'ro') ?? [0])[0];
  return {
    name: node.name, parent: node.parent,
    translate: numbers(node, 't') ?? [0, 0, 0], rotate: numbers(node, 'r') ?? [0, 0, 0],
    scale: numbers(node, 's') ?? [1, 1, 1], shear: numbers(node, 'sh') ?? [0, 0, 0],
    rotateOrder: ['xyz', 'yzx', 'zxy', 'xzy', 'yxz', 'zyx'][rotateOrder] ?? 'xyz',
    visible: (numbers(node, 'v') ?? [1])[0] !== 0,
    curves: {},
  };
}

/// Triangles of a mesh node: flat arrays of positions, normals (the file's,
/// or null) and UVs of set 0 (or null), three corners a triangle.
function meshOf(node) {
  const vertices = numberArray(node, 'vt', 3);
  const edges = numberArray(node, 'ed', 3);
  const normals = numberArray(node, 'n', 3);
  const uvs = numberArray(node, 'uvst[0].uvsp', 2);
  const faces = polyFaces(node);
  const corners = faces.reduce((sum, f) => sum + f.edges.length, 0);
  const haveNormals = normals.length === corners * 3 && corners > 0;
  const positions = [];
  const normalOut = haveNormals ? [] : null;
  const uvOut = faces.length && faces.every((f) => f.uvs) && uvs.length ? [] : null;
  const vertexCount = vertices.length / 3;
  let corner = 0;
  for (const face of faces) {
    const ring = face.edges.map((e) => {
      const edge = e >= 0 ? e : -e - 1;
      return edges[edge * 3 + (e >= 0 ? 0 : 1)];
    });
    const base = corner;
    corner += ring.length;
    if (ring.some((v) => !(v >= 0 && v < vertexCount))) continue;
    for (let k = 1; k + 1 < ring.length; ++k) {
      for (const c of [0, k, k + 1]) {
        const v = ring[c];
        positions.push(vertices[v * 3], vertices[v * 3 + 1], vertices[v * 3 + 2]);
        if (normalOut) {
          const n = (base + c) * 3;
          normalOut.push(normals[n], normals[n + 1], normals[n + 2]);
        }
        if (uvOut) {
          const uv = face.uvs[c] ?? 0;
          uvOut.push(uvs[uv * 2] ?? 0, uvs[uv * 2 + 1] ?? 0);
        }
      }
    }
  }
  return { kind: 'mesh', name: node.name, parent: node.parent, positions: Float32Array.from(positions),
    normals: normalOut && Float32Array.from(normalOut), uvs: uvOut && Float32Array.from(uvOut),
    material: null };
}

function materialsOf(ma) {
  const list = [];
  const byName = new Map();
  for (const node of ma.nodes) {
    if (['lambert', 'blinn', 'phong', 'phongE', 'surfaceShader'].includes(node.type)) {
      const material = { name: node.name, type: node.type, color: numbers(node, 'c') ?? [0.5, 0.5, 0.5],
        texture: null, repeat: [1, 1], offset: [0, 0], rotate: 0 };
      list.push(material);
      byName.set(node.name, material);
    }
  }
  const byEngine = new Map();
  for (const [from, to] of ma.connections) {
    const source = ma.byName.get(nodeOf(from));
    const target = ma.byName.get(nodeOf(to));
    if (target?.type === 'shadingEngine' && attributeOf(to) === 'ss' && byName.has(source?.name)) {
      byEngine.set(target.name, byName.get(source.name));
    }
    if (source?.type === 'file' && byName.has(target?.name) && attributeOf(to) === 'c') {
      const material = byName.get(target.name);
      const path = text(source, 'ftn') ?? '';
      material.texture = path.split(/[\\/]/).pop();
      for (const [placeFrom, placeTo] of ma.connections) {
        const place = ma.byName.get(nodeOf(placeFrom));
        if (nodeOf(placeTo) === source.name && place?.type === 'place2dTexture') {
          material.repeat = numbers(place, 're') ?? [1, 1];
          material.offset = numbers(place, 'of') ?? [0, 0];
          material.rotate = (numbers(place, 'r') ?? [0])[0];
          break;
        }
      }
    }
  }
  return { list, byEngine };
}
