// The 3D preview: the scene_model.js scene drawn with three.js, transforms
// composed as Maya composes them (scale, shear, rotation in its order,
// translation), meshes with their normals, UVs and diffuse texture, lights
// and cameras drawn as symbols, orbit, pan and zoom, and the curves played
// on a timeline at the file's rate over its playback range.

import * as THREE from 'three';
import { OrbitControls } from 'three/addons/controls/OrbitControls.js';

import { evaluate } from './anim_curve.js';

const BACKGROUND = 0x20242a;
const DEGREES = Math.PI / 180;

/// Maya's local matrix of a transform from its channel values.
export function localMatrix(t, values) {
  const [tx, ty, tz] = values.translate;
  const [rx, ry, rz] = values.rotate.map((a) => a * DEGREES);
  const [sx, sy, sz] = values.scale;
  const [xy, xz, yz] = values.shear;
  const rotation = new THREE.Matrix4().makeRotationFromEuler(
    new THREE.Euler(rx, ry, rz, t.rotateOrder.split('').reverse().join('').toUpperCase()));
  // Maya's shear, for column vectors: x += xy * y + xz * z, y += yz * z.
  const shear = new THREE.Matrix4().set(1, xy, xz, 0, 0, 1, yz, 0, 0, 0, 1, 0, 0, 0, 0, 1);
  return new THREE.Matrix4().makeTranslation(tx, ty, tz).multiply(rotation).multiply(shear)
    .multiply(new THREE.Matrix4().makeScale(sx, sy, sz));
}

/// The channel values of transform `t` at `frame`.
export function channelValues(t, frame) {
  const at = (channel, fallback) => (t.curves[channel] ? evaluate(t.curves[channel], frame) : fallback);
  return {
    translate: [at('tx', t.translate[0]), at('ty', t.translate[1]), at('tz', t.translate[2])],
    rotate: [at('rx', t.rotate[0]), at('ry', t.rotate[1]), at('rz', t.rotate[2])],
    scale: [at('sx', t.scale[0]), at('sy', t.scale[1]), at('sz', t.scale[2])],
    shear: t.shear, visible: at('v', t.visible ? 1 : 0) !== 0,
  };
}

export class Preview {
  constructor(canvas) {
    this.canvas = canvas;
    this.renderer = new THREE.WebGLRenderer({ canvas, antialias: true, preserveDrawingBuffer: true });
    this.renderer.setPixelRatio(window.devicePixelRatio);
    this.scene = new THREE.Scene();
    this.scene.background = new THREE.Color(BACKGROUND);
    this.camera = new THREE.PerspectiveCamera(45, 1, 0.1, 1e6);
    this.camera.position.set(200, 200, 200);
    this.controls = new OrbitControls(this.camera, canvas);
    this.controls.addEventListener('change', () => this.render());
    this.scene.add(new THREE.HemisphereLight(0xffffff, 0x404040, 1.6));
    const sun = new THREE.DirectionalLight(0xffffff, 1.4);
    sun.position.set(1, 2, 3);
    this.camera.add(sun);
    this.scene.add(this.camera);
    this.root = new THREE.Group();
    this.scene.add(this.root);
    this.textures = new Map(); // lower-case file name -> object URL
    this.frame = 0;
    new ResizeObserver(() => this.resize()).observe(canvas);
    this.resize();
  }

  /// Images the user dropped, by file name, for the materials' textures.
  setImages(files) {
    for (const file of files) this.textures.set(file.name.toLowerCase(), URL.createObjectURL(file));
  }

  resize() {
    const width = this.canvas.clientWidth || 640;
    const height = this.canvas.clientHeight || 480;
    this.renderer.setSize(width, height, false);
    this.camera.aspect = width / height;
    this.camera.updateProjectionMatrix();
    this.render();
  }

  /// Shows `model` (from scene_model.js) at its first frame, framed in view.
  show(model) {
    this.clear();
    this.model = model;
    this.objects = new Map();
    for (const t of model.transforms.values()) {
      const group = new THREE.Group();
      group.name = t.name;
      group.matrixAutoUpdate = false;
      this.objects.set(t.name, group);
    }
    for (const t of model.transforms.values()) {
      const parent = this.objects.get(t.parent);
      (parent ?? this.root).add(this.objects.get(t.name));
    }
    const materials = new Map(model.materials.map((m) => [m, this.materialOf(m)]));
    const fallback = new THREE.MeshStandardMaterial({ color: 0x9aa4b0, roughness: 0.7, side: THREE.DoubleSide });
    const size = this.sceneSize(model);
    for (const shape of model.shapes) {
      const parent = this.objects.get(shape.parent) ?? this.root;
      if (shape.kind === 'mesh') {
        const geometry = new THREE.BufferGeometry();
        geometry.setAttribute('position', new THREE.BufferAttribute(shape.positions, 3));
        if (shape.normals) geometry.setAttribute('normal', new THREE.BufferAttribute(shape.normals, 3));
        else geometry.computeVertexNormals();
        if (shape.uvs) geometry.setAttribute('uv', new THREE.BufferAttribute(shape.uvs, 2));
        const mesh = new THREE.Mesh(geometry, materials.get(shape.material) ?? fallback);
        mesh.name = shape.name;
        mesh.userData.kind = 'mesh';
        parent.add(mesh);
      } else {
        const symbol = shape.kind === 'light' ? lightSymbol(shape, size) : cameraSymbol(shape, size);
        symbol.name = shape.name;
        parent.add(symbol);
      }
    }
    this.setFrame(model.frames.first);
    this.frameAll();
  }

  clear() {
    for (const child of [...this.root.children]) this.root.remove(child);
    this.root.traverse((o) => o.geometry?.dispose());
    this.model = null;
  }

  materialOf(m) {
    const material = new THREE.MeshStandardMaterial({ color: new THREE.Color(...m.color), roughness: 0.6,
      side: THREE.DoubleSide });
    const url = m.texture && this.textures.get(m.texture.toLowerCase());
    if (url) {
      const texture = new THREE.TextureLoader().load(url, () => this.render());
      texture.colorSpace = THREE.SRGBColorSpace;
      texture.wrapS = texture.wrapT = THREE.RepeatWrapping;
      texture.repeat.set(...m.repeat);
      texture.offset.set(...m.offset);
      texture.rotation = m.rotate * DEGREES;
      material.map = texture;
      material.color.set(0xffffff);
    }
    return material;
  }

  /// About the size of the scene: the largest extent of its meshes' vertices.
  sceneSize(model) {
    const box = new THREE.Box3();
    for (const shape of model.shapes) {
      if (shape.kind !== 'mesh') continue;
      for (let i = 0; i < shape.positions.length; i += 3) {
        box.expandByPoint(new THREE.Vector3(shape.positions[i], shape.positions[i + 1], shape.positions[i + 2]));
      }
    }
    return box.isEmpty() ? 100 : Math.max(1, box.getSize(new THREE.Vector3()).length());
  }

  /// Puts every transform where `frame` puts it and draws.
  setFrame(frame) {
    this.frame = frame;
    if (!this.model) return;
    for (const t of this.model.transforms.values()) {
      const group = this.objects.get(t.name);
      const values = channelValues(t, frame);
      group.matrix.copy(localMatrix(t, values));
      group.visible = values.visible;
      group.matrixWorldNeedsUpdate = true;
    }
    this.render();
  }

  /// Turns the view to take in everything drawn.
  frameAll() {
    this.root.updateMatrixWorld(true);
    const box = new THREE.Box3();
    this.root.traverse((o) => {
      if (o.userData.kind === 'mesh') box.expandByObject(o);
    });
    if (box.isEmpty()) box.setFromObject(this.root);
    if (box.isEmpty()) box.set(new THREE.Vector3(-50, -50, -50), new THREE.Vector3(50, 50, 50));
    const centre = box.getCenter(new THREE.Vector3());
    const radius = Math.max(box.getSize(new THREE.Vector3()).length() / 2, 1);
    const distance = radius / Math.sin((this.camera.fov * DEGREES) / 2);
    this.camera.position.copy(centre).add(new THREE.Vector3(0.6, 0.5, 0.8).normalize().multiplyScalar(distance));
    this.camera.near = distance / 1000;
    this.camera.far = distance * 100;
    this.camera.updateProjectionMatrix();
    this.controls.target.copy(centre);
    this.controls.update();
    this.render();
  }

  /// Shows or hides the meshes (the tests compare the two pictures).
  showMeshes(visible) {
    this.root.traverse((o) => {
      if (o.userData.kind === 'mesh') o.visible = visible;
    });
    this.render();
  }

  /// The world matrix of the node `name` now, column by column.
  worldMatrix(name) {
    const object = this.objects?.get(name);
    if (!object) return null;
    this.root.updateMatrixWorld(true);
    return object.matrixWorld.toArray();
  }

  render() {
    this.renderer.render(this.scene, this.camera);
  }
}

function lightSymbol(light, size) {
  const colour = new THREE.Color(...light.color.map((c) => Math.min(1, c)));
  const group = new THREE.Group();
  const scale = size / 40;
  const material = new THREE.LineBasicMaterial({ color: colour });
  group.add(new THREE.LineSegments(new THREE.WireframeGeometry(new THREE.OctahedronGeometry(scale)), material));
  if (light.type !== 'pointLight' && light.type !== 'ambientLight') {
    // Maya's lights shine down their -Z axis.
    const points = [new THREE.Vector3(0, 0, 0), new THREE.Vector3(0, 0, -4 * scale)];
    group.add(new THREE.Line(new THREE.BufferGeometry().setFromPoints(points), material));
  }
  return group;
}

function cameraSymbol(camera, size) {
  // A pyramid from the eye along -Z, opening as the lens does.
  const depth = size / 15;
  const halfWidth = (depth * (camera.aperture[0] * 25.4)) / (2 * camera.focalLength);
  const halfHeight = (depth * (camera.aperture[1] * 25.4)) / (2 * camera.focalLength);
  const eye = new THREE.Vector3(0, 0, 0);
  const c = [[-1, -1], [1, -1], [1, 1], [-1, 1]].map(([x, y]) => new THREE.Vector3(x * halfWidth, y * halfHeight, -depth));
  const points = [eye, c[0], eye, c[1], eye, c[2], eye, c[3], c[0], c[1], c[1], c[2], c[2], c[3], c[3], c[0],
    new THREE.Vector3(-halfWidth / 2, halfHeight, -depth), new THREE.Vector3(0, halfHeight * 1.5, -depth),
    new THREE.Vector3(0, halfHeight * 1.5, -depth), new THREE.Vector3(halfWidth / 2, halfHeight, -depth)];
  return new THREE.LineSegments(new THREE.BufferGeometry().setFromPoints(points),
    new THREE.LineBasicMaterial({ color: 0xffd27a }));
}
