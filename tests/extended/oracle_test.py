#!/usr/bin/env python3
"""Extended-mode output compared with another reader of the same ASE files: the Open Asset
Import Library's command-line tool (`assimp export in.ase out.json -fassjson`, assimp 5.2).

Compared: node tree, world node matrices, world positions and UVs per face corner, material
names and texture paths (for every map slot assimp reads, also on the scene case of every map),
and for each animation track its sample times and values. Not
compared: normals (assimp computes its own from the smoothing groups), cameras (assimp keeps
its default look direction and turns a near range of 0 into 0.1) and lights (it makes a
free spot light a point light). Where assimp reads a file wrongly, the comparison is skipped
and the reason given beside it. Configuration as in harness.py; without an `assimp` command
the tests are skipped (run directly, the file then exits with status 77).
"""
import json
import math
import os
import re
import shutil
import subprocess
import sys
import unittest

import harness
import ma_check
from harness import maya_name

NO_ASSIMP = 'the assimp command is not installed (Debian: apt-get install assimp-utils)'
_runs = {}


def corpus():
    return [p for p in harness.corpus() if not harness.is_utf16(p)]


def texture_inputs():
    """The corpus and the scene case that holds a map in every slot."""
    cases = os.environ.get('KESTRUN_CASES')
    return corpus() + ([os.path.join(cases, 'material_maps.ase')] if cases else [])


# assimp's texture types (aiTextureType) and the shader input the map of that slot feeds here:
# diffuse, specular, ambient, emissive (MAP_SELFILLUM), height (MAP_BUMP), shininess (assimp's
# reading of MAP_SHINESTRENGTH, the specular level) and opacity.
TEXTURE_INPUTS = {1: 'c', 2: 'sc', 3: 'ambc', 4: 'ic', 5: 'n', 7: 'sc', 8: 'it'}


def runs(path):
    """(Maya scene, assimp JSON) for one corpus file."""
    if path not in _runs:
        base = os.path.join(harness.WORK, str(len(_runs)))
        done, text = harness.convert(path, base + '.ma')
        if done.returncode:
            raise RuntimeError('Kestrun failed on %s: %s' % (path, done.stderr))
        subprocess.run(['assimp', 'export', path, base + '.json', '-fassjson'], check=True,
                       capture_output=True, timeout=120)
        with open(base + '.json', encoding='latin-1') as f:
            data = json.loads(f.read().replace("\\'", "'"))   # assimp writes \' for ', which JSON lacks
        _runs[path] = (ma_check.read(text), data)
    return _runs[path]


def renamed_tms(path):
    """Objects whose NODE_TM carries another name (AC3D writes "Object01")."""
    with open(path, encoding='latin-1') as f:
        pairs = re.findall(r'\*NODE_NAME "([^"]*)"[^{}]*?\*NODE_TM \{\s*\*NODE_NAME "([^"]*)"', f.read())
    return {obj for obj, tm in pairs if tm != obj}


def close(a, b):
    """assimp prints 6 significant digits."""
    return all(abs(x - y) <= 1e-3 + 2e-5 * abs(y) for x, y in zip(a, b))


def rows_close(a, b):
    return all(close(x[:3], y[:3]) and close(x[3:], y[3:]) for x, y in zip(a, b))


def row_matrix(values):
    """assimp's row-major column-vector matrix as a row-vector matrix (its transpose)."""
    return [[values[4 * c + r] for c in range(4)] for r in range(4)]


def assimp_nodes(node, parent=None, world=None):
    """(node, parent name, world row-vector matrix) for every node below assimp's root."""
    world = ma_check.mul(row_matrix(node['transformation']), world) if world else row_matrix(node['transformation'])
    yield node, parent, world
    for child in node.get('children', []):
        yield from assimp_nodes(child, node['name'], world)


def quaternion_rows(w, x, y, z):
    """Row-vector matrix of a unit quaternion: the transpose of its usual column-vector matrix."""
    return [[1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w)],
            [2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w)],
            [2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y)]]


class Oracle(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not shutil.which('assimp'):
            raise unittest.SkipTest(NO_ASSIMP)

    def both(self, path):
        scene, data = runs(path)
        self.assertEqual(data['flags'], 0, 'assimp did not read the whole file')
        return scene, data

    def mesh_nodes(self, path, scene, data):
        for node, _, world in assimp_nodes(data['rootnode']):
            for index in node.get('meshes', []):
                if len(node['meshes']) > 1:
                    self.skipTest('assimp split %s by sub-material; faces are regrouped' % node['name'])
                shape = scene.children(maya_name(node['name']), 'mesh')
                self.assertEqual(len(shape), 1, node['name'])
                yield node, data['meshes'][index], shape[0], world

    def test_node_tree_and_world_matrices(self):
        for path in corpus():
            with self.subTest(file=os.path.basename(path)):
                scene, data = self.both(path)
                root = maya_name(os.path.splitext(os.path.basename(path))[0])
                for node, parent, world in assimp_nodes(data['rootnode']):
                    if node['name'] in ('<ASERoot>', ''):
                        continue
                    if node['name'].endswith('.Target') or parent == '<ASERoot>':
                        continue   # assimp places targets in world axes under their camera, orphans at identity
                    name = maya_name(node['name'])
                    self.assertEqual(scene.nodes[name].parent, root if parent == '' else maya_name(parent))
                    if node['name'] in renamed_tms(path):
                        continue   # assimp drops such a TM for identity (and leaves the vertices in world space)
                    # assimp's root carries the same -90 degrees about X as ours, so world matrices compare.
                    got = scene.world_matrix(name)
                    self.assertTrue(rows_close(got, world), '%s: %s, assimp %s' % (name, got, world))

    def test_world_positions_and_uvs_per_corner(self):
        for path in corpus():
            with self.subTest(file=os.path.basename(path)):
                scene, data = self.both(path)
                for node, mesh, shape, world in self.mesh_nodes(path, scene, data):
                    ours = scene.world_matrix(shape.parent)
                    vt, edges, uvs = shape.array('vt'), shape.array('ed'), shape.array('uvst[0].uvsp')
                    faces = shape.array('fc')
                    self.assertEqual(len(faces), len(mesh['faces']), node['name'])
                    for f, (face, corners) in enumerate(zip(faces, mesh['faces'])):
                        where = '%s face %d' % (node['name'], f)
                        got = [ma_check.transform_point(vt[v], ours) for v in ma_check.face_vertices(edges, face)]
                        want = [ma_check.transform_point(mesh['vertices'][3 * i:3 * i + 3], world) for i in corners]
                        self.assertTrue(rows_close(got, want), '%s: %s, assimp %s' % (where, got, want))
                        # InvalidUVIndex.ase: assimp reads its texture face past the end of the list.
                        if 'texturecoords' in mesh and not path.endswith('InvalidUVIndex.ase'):
                            coords = mesh['texturecoords'][0]
                            want = [coords[2 * i:2 * i + 2] for i in corners]
                            got = [uvs[i] for i in face['mu'][0]]
                            self.assertTrue(rows_close(got, want), '%s UVs %s, assimp %s' % (where, got, want))

    def test_materials_and_textures(self):
        for path in corpus():
            with self.subTest(file=os.path.basename(path)):
                scene, data = self.both(path)
                for node, mesh, shape, _ in self.mesh_nodes(path, scene, data):
                    props = {p['key']: p for p in data['materials'][mesh['materialindex']]['properties']}
                    group = [d.split('.')[0] for s, d, _ in scene.connections
                             if s.startswith(shape.name + '.iog') and d.endswith('.dsm')]
                    if props['?mat.name']['value'] == 'DefaultMaterial':   # assimp's stand-in for "no material"
                        self.assertEqual(group, [':initialShadingGroup'])
                        continue
                    shader = [s.split('.')[0] for s, d, _ in scene.connections if d == group[0] + '.ss']
                    self.assertRegex(shader[0], re.escape(maya_name(props['?mat.name']['value'])) + r'(_?\d+)?\Z')
                    files = [s.split('.')[0] for s, d, _ in scene.connections if d == shader[0] + '.c']
                    texture = props.get('$tex.file')
                    textures = [scene.nodes[f].attrs['ftn'][0] for f in files]
                    self.assertEqual(textures, [texture['value']] if texture else [])

    def test_texture_paths_per_map_slot(self):
        """Every texture assimp reads is the file that feeds the shader input of its slot (through
        the bump2d or multiplyDivide between), for materials whose name is theirs alone; a lambert
        has no specular input, so a specular map on one is not compared."""
        for path in texture_inputs():
            with self.subTest(file=os.path.basename(path)):
                scene, data = self.both(path)
                props = [{p['key']: p for p in m['properties'] if p['key'] != '$tex.file'} for m in data['materials']]
                names = [p['?mat.name']['value'] for p in props]
                compared = 0
                for material, name in zip(data['materials'], names):
                    shader = maya_name(name)
                    if names.count(name) != 1 or shader not in scene.nodes:   # repeated, or used by no mesh
                        continue
                    for texture in (p for p in material['properties'] if p['key'] == '$tex.file'):
                        attr = TEXTURE_INPUTS.get(texture['semantic'])
                        if attr is None or (attr == 'sc' and scene.nodes[shader].type == 'lambert'):
                            continue
                        paths = [f.attrs['ftn'][0] for f, _, _ in scene.feeds('%s.%s' % (shader, attr))]
                        self.assertIn(texture['value'], paths, '%s.%s' % (shader, attr))
                        compared += 1
                if path.endswith('material_maps.ase'):
                    self.assertGreaterEqual(compared, 8)   # every slot assimp reads

    def test_animation_tracks(self):
        """Each assimp key is one sample line, at its tick. Our curves hold a key at each of
        those ticks with the same value, plus hold keys: one sampling step before a sample that
        follows a gap, repeating the sample before the gap; rotation curves may have more. (Telling holds apart by value alone
        fails: samples of a turn below 0.00005 rad are written as angle 0.0000.)"""
        for path in corpus():
            with self.subTest(file=os.path.basename(path)):
                scene, data = self.both(path)
                for anim in data.get('animations', []):
                    ticks = anim['tickspersecond'] / scene.fps
                    every = [k[0] for c in anim['channels'] for n in ('positionkeys', 'rotationkeys', 'scalingkeys')
                             for k in c[n]]
                    step = min(b - a for a, b in zip(sorted(set(every)), sorted(set(every))[1:]))
                    for channel in anim['channels']:
                        node = maya_name(channel['name'])   # a target channel: world positions, as ours
                        for keys, attr in ((channel['positionkeys'], 't'), (channel['rotationkeys'], 'r'),
                                           (channel['scalingkeys'], 's')):
                            where = '%s.%s' % (node, attr)
                            curves = [scene.drivers.get((node, attr + a)) for a in 'xyz']
                            if len(keys) == 1:   # a stand-in key assimp adds where the file has no track
                                self.assertEqual(curves, [None] * 3, where)
                                continue
                            value = lambda tick: [scene.value(node, attr + a, tick / ticks, float(attr == 's'))
                                                  for a in 'xyz']
                            ours = sorted({round(t * ticks, 3) for c in filter(None, curves)
                                           for t, _ in ma_check.keys(scene.nodes[c])})
                            theirs = [k[0] for k in keys]
                            holds = [b - step for a, b in zip(theirs, theirs[1:]) if b - a > step]
                            if attr == 'r':   # keys are added where Euler angles would stray from the turn
                                self.assertLessEqual(set(theirs + holds), set(ours), where)
                            else:
                                self.assertEqual(ours, sorted(theirs + holds), where)
                            for hold in holds:
                                before = max(t for t in theirs if t < hold)
                                self.assertTrue(close(value(hold), value(before)), '%s hold at %d' % (where, hold))
                            for tick, want in keys:
                                got = value(tick)
                                if attr == 'r':
                                    got = ma_check.rotation_matrix([math.radians(a) for a in got])
                                    want = quaternion_rows(*want)
                                    self.assertTrue(rows_close(got, want), '%s at tick %d' % (where, tick))
                                else:
                                    self.assertTrue(close(got, want), '%s at tick %d' % (where, tick))


def tearDownModule():
    harness.remove_work()


def skip_without_assimp():
    if not shutil.which('assimp'):
        print('skipped: ' + NO_ASSIMP)
        sys.exit(77)


if __name__ == '__main__':
    harness.main(skip_without_assimp)
