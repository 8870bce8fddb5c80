#!/usr/bin/env python3
"""Extended-mode conversions of the real ASE corpus, read back with ma_check and compared with
an independent reading of each ASE file (ase_reader); five more inputs are made from corpus
files by small edits, for paths the corpus does not take (derive_inputs). Configuration as in
harness.py. The largest differences measured and the converter's warnings are printed at the end.
"""
import math
import os
import re
import sys
import unittest
from types import SimpleNamespace as NS

import ase_reader
import harness
import ma_check
from harness import WORK, maya_name

Y_UP = [[1, 0, 0, 0], [0, 0, -1, 0], [0, 1, 0, 0], [0, 0, 0, 1]]   # -90 degrees about X, row vectors
IDENTITY = [[float(i == j) for j in range(4)] for i in range(4)]
SHAPES = {'GEOMOBJECT': 'mesh', 'CAMERAOBJECT': 'camera'}
LIGHT_SHAPES = {'Omni': 'pointLight', 'Directional': 'directionalLight', 'Target': 'spotLight', 'Free': 'spotLight'}
MEASURED, _runs, _inputs = {}, {}, []


def light_shape(obj):
    """The shape type a light becomes: a spot without a cone (how skylights are exported) is ambient."""
    shape = LIGHT_SHAPES.get(obj.subtype)
    cone = [(obj.settings or {}).get(key, [1.0])[0] for key in ('LIGHT_HOTSPOT', 'LIGHT_FALLOFF')]
    return 'ambientLight' if shape == 'spotLight' and max(cone) <= 0 else shape


def derive_inputs(corpus):
    """Edited copies of corpus files: a child written before its parent (a late parent), a
    multi/sub-object material (per-face shading groups), 24 fps at 200 ticks per frame, a target
    spot light (anim2's camera made one), a second material list before the second object (its
    materials and the first list's both used), and a mirrored node as the exporter writes one: rows
    and vertices mirrored in X, corners in the order C B A (its code: "Get 'em counter clockwise
    if the objects is negatively scaled")."""
    def edit(source, target, change):
        with open(os.path.join(corpus, source), encoding='latin-1') as f:
            text = change(f.read())
        with open(os.path.join(WORK, target), 'w', encoding='latin-1') as f:
            f.write(text)
        return os.path.join(WORK, target)

    def objects(text):
        return re.split(r'(?m)^(?=\*(?:GEOMOBJECT|CAMERAOBJECT|LIGHTOBJECT|HELPEROBJECT) \{)', text)

    def late_parent(text):
        head, box1, camera, box2 = objects(text)
        return head + box1 + box2 + camera

    def multi_material(text):
        subs = re.findall(r'(?s)\n\t\*MATERIAL (\d) \{\n(.*?)\n\t\}', text)
        body = ''.join('\t\t*SUBMATERIAL %s {\n\t%s\n\t\t}\n' % (i, b.replace('\n', '\n\t')) for i, b in subs)
        multi = ('*MATERIAL_LIST {\n\t*MATERIAL_COUNT 1\n\t*MATERIAL 0 {\n\t\t*MATERIAL_NAME "Multi"\n'
                 '\t\t*MATERIAL_CLASS "Multi/Sub-Object"\n\t\t*NUMSUBMTLS 3\n%s\t}\n}\n' % body)
        text = re.sub(r'(?s)\*MATERIAL_LIST \{.*?\n\}\n', lambda m: multi, text)
        return re.sub(r'\*MATERIAL_REF \d', '*MATERIAL_REF 0', text)

    def film_rate(text):
        return text.replace('FRAMESPEED 30', 'FRAMESPEED 24').replace('TICKSPERFRAME 160', 'TICKSPERFRAME 200')

    def target_spot(text):
        camera = re.search(r'(?s)\*CAMERAOBJECT \{.*?\n\}\n', text).group(0)
        spot = camera.replace('CAMERAOBJECT', 'LIGHTOBJECT').replace('CAMERA_TYPE', 'LIGHT_TYPE')
        settings = ('*LIGHT_SETTINGS {\n\t\t*LIGHT_COLOR 1.0 0.5 0.25\n\t\t*LIGHT_INTENS 2.0\n'
                    '\t\t*LIGHT_HOTSPOT 30.0\n\t\t*LIGHT_FALLOFF 40.0\n\t}')
        spot = re.sub(r'(?s)\*CAMERA_SETTINGS \{.*?\}', settings, spot.replace('Camera01', 'Spot01'))
        return text.replace(camera, camera + spot)

    def second_list(text):
        materials = re.search(r'(?s)\*MATERIAL_LIST \{.*?\n\}\n', text).group(0)
        head, first, *rest = objects(text)
        return head + first + materials.replace('*MATERIAL_NAME "', '*MATERIAL_NAME "Second ') + ''.join(rest)

    def mirror(text):
        head, first, *rest = objects(text)
        negate_x = lambda m: m.group(1) + str(-float(m.group(2)))
        first = re.sub(r'(\*(?:TM_ROW\d|TM_POS|MESH_VERTEX\s+\d+)\s+)(\S+)', negate_x, first)
        return head + re.sub(r'A:\s+(\d+) B:\s+(\d+) C:\s+(\d+)', r'A: \3 B: \2 C: \1', first) + ''.join(rest)

    return [edit('CameraRollAnimWithChildObject.ase', 'late_parent.ase', late_parent),
            edit('ThreeCubesGreen.ASE', 'multi_material.ase', multi_material),
            edit('anim.ASE', 'film_rate.ase', film_rate),
            edit('anim2.ASE', 'target_spot.ase', target_spot),
            edit('ThreeCubesGreen.ASE', 'mirrored_node.ase', mirror),
            edit('ThreeCubesGreen.ASE', 'second_material_list.ase', second_list)]


def inputs(utf16=False):
    if not _inputs:
        _inputs.extend(harness.corpus() + derive_inputs(os.environ['KESTRUN_CORPUS']))
    return [p for p in _inputs if harness.is_utf16(p) == utf16]


def run(path, *flags):
    """Exit status, stderr, output text and the output read by ma_check, cached per file and switches."""
    key = (path,) + flags
    if key not in _runs:
        done, text = harness.convert(path, os.path.join(WORK, 'out%d.ma' % len(_runs)), *flags)
        _runs[key] = NS(status=done.returncode, err=done.stderr, text=text, scene=ma_check.read(text))
    return _runs[key]


def measure(path, what, value):
    key = (os.path.basename(path), what)
    MEASURED[key] = max(MEASURED.get(key, 0.0), value)
    return value


def diff(a, b):
    return max(abs(x - y) for x, y in zip(a, b))


def det3(m):
    (a, b, c), (d, e, f), (g, h, i) = (row[:3] for row in m[:3])
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g)


def clamped_acos_deg(cos):
    return math.degrees(math.acos(max(-1.0, min(1.0, cos))))


def angle_deg(u, v):
    return clamped_acos_deg(sum(a * b for a, b in zip(u, v)) / math.sqrt(sum(a * a for a in u) * sum(b * b for b in v)))


def turn_deg(a, b):
    """Angle of the rotation between two 3x3 rotation matrices."""
    return clamped_acos_deg((sum(a[i][k] * b[i][k] for i in range(3) for k in range(3)) - 1) / 2)


def shape_of(scene, transform, kind):
    shapes = scene.children(transform, kind)
    return shapes[0] if len(shapes) == 1 else None


class Conversion(unittest.TestCase):
    def test_readable_files_convert_and_pass_the_checker(self):
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                for flags in ((), ('--z-up',)):
                    out = run(path, *flags)
                    self.assertEqual(out.status, 0, out.err)
                    for warning in re.findall(r'^Warning: .*$', out.err, re.M):
                        MEASURED[(os.path.basename(path), 'warning')] = warning
                    self.assertEqual(out.scene.problems, [], flags)
                    self.assertEqual(out.text.splitlines()[0], '//Maya ASCII 8.5 scene')
                    self.assertEqual(out.scene.fps, ase_reader.read(path).fps)

    def test_utf16_files_are_refused(self):
        for path in inputs(utf16=True):
            with self.subTest(file=os.path.basename(path)):
                self.assertEqual(run(path).status, 1)
                self.assertIn('Invalid Input File', run(path).err)


class Structure(unittest.TestCase):
    def test_hierarchy_and_world_placement(self):
        """Every ASE node is a transform under its NODE_PARENT (or the root), with the shape of
        its kind, and its static world matrix is its NODE_TM. (Static: without its curves, whose
        first keys come from the 4-digit samples, up to 0.01 away; Animation checks those.)"""
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                ase = ase_reader.read(path)
                for flags, axes in (((), Y_UP), (('--z-up',), IDENTITY)):
                    scene = run(path, *flags).scene
                    root = None if flags else maya_name(os.path.splitext(os.path.basename(path))[0])
                    if root:
                        self.assertIsNone(scene.nodes[root].parent)
                        self.assertEqual(scene.nodes[root].attrs.get('r'), [-90, 0, 0])
                    for obj in ase.objects:
                        name = maya_name(obj.name)
                        self.assertEqual(scene.nodes[name].type, 'transform', name)
                        self.assertEqual(scene.nodes[name].parent, maya_name(obj.parent) if obj.parent else root)
                        kind = SHAPES.get(obj.kind) or (light_shape(obj) if obj.kind == 'LIGHTOBJECT' else None)
                        self.assertEqual([n.type for n in scene.children(name) if n.type != 'transform'],
                                         [kind] if kind else [], name)
                        for i, (tm_name, tm) in enumerate(obj.tms.items()):   # its own TM (AC3D names it
                            node = maya_name(obj.name)                          # "Object01"), then a target's
                            if i:
                                self.assertEqual(tm_name, obj.name + '.Target')
                                node = maya_name(tm_name)
                                self.assertEqual(scene.nodes[node].parent, root)
                            got, want = scene.world_matrix(node), ma_check.mul(tm, axes)
                            err = measure(path, 'node world matrix', max(diff(g, w) for g, w in zip(got, want)))
                            self.assertLess(err, 1e-4 * (1 + max(map(abs, want[3]))), node)

    def test_materials_and_textures(self):
        """Meshes use the material of their MATERIAL_REF (the sub-material of their MTLID when
        it has any), with its bitmap as the file texture on the colour; others the default group."""
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                ase, scene = ase_reader.read(path), run(path).scene
                into = {}
                for src, dst, _ in scene.connections:
                    into.setdefault(dst.partition('.')[0], []).append((src, dst))
                for obj in (o for o in ase.objects if o.mesh):
                    shape, groups = shape_of(scene, maya_name(obj.name), 'mesh'), {}   # face -> shading group
                    for src, dst, _ in scene.connections:
                        if src == shape.name + '.iog' and dst.endswith('.dsm'):
                            groups.update({f: dst.split('.')[0] for f in range(len(obj.mesh.faces))})
                        m = re.fullmatch(re.escape(shape.name) + r'\.iog\.og\[(\d+)\]', src)
                        if m and dst.endswith('.dsm'):
                            for item in shape.attrs['iog[0].og[%s].gcl' % m.group(1)][1:]:
                                lo, _, hi = item[2:-1].partition(':')
                                groups.update({f: dst.split('.')[0] for f in range(int(lo), int(hi or lo) + 1)})
                    self.assertEqual(sorted(groups), list(range(len(obj.mesh.faces))), obj.name)
                    for f, group in groups.items():
                        if obj.material_ref is None:
                            self.assertEqual(group, ':initialShadingGroup')
                            continue
                        mat = ase.materials[obj.material_ref]
                        mat = mat.subs[obj.mesh.mtlids[f] % len(mat.subs)] if mat.subs else mat
                        shader = [s.split('.')[0] for s, d in into.get(group, []) if d == group + '.ss']
                        self.assertEqual(len(shader), 1, group)
                        self.assertRegex(shader[0], re.escape(maya_name(mat.name)) + r'(_?\d+)?\Z')
                        files = [s.split('.')[0] for s, d in into.get(shader[0], []) if d == shader[0] + '.c']
                        textures = [scene.nodes[f].attrs['ftn'][0] for f in files]
                        self.assertEqual(textures, [mat.bitmap] if mat.bitmap else [])

    def test_cameras_and_lights(self):
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                scene = run(path).scene
                for obj in ase_reader.read(path).objects:
                    if obj.kind == 'CAMERAOBJECT':
                        cam = shape_of(scene, maya_name(obj.name), 'camera').attrs
                        self.assertEqual(cam.get('ff', [1])[0], 1)       # horizontal fit: the FOV is horizontal
                        fov = 2 * math.atan(cam.get('cap', [1.41732])[0] * 25.4 / 2 / cam.get('fl', [35.0])[0])
                        self.assertAlmostEqual(fov, obj.settings['CAMERA_FOV'][0], places=4)
                        self.assertAlmostEqual(cam['coi'][0], obj.settings['CAMERA_TDIST'][0], places=3)
                    elif obj.kind == 'LIGHTOBJECT':
                        light = shape_of(scene, maya_name(obj.name), light_shape(obj)).attrs
                        self.assertLess(diff(light['cl'], obj.settings['LIGHT_COLOR']), 1e-4)
                        self.assertAlmostEqual(light['in'][0], obj.settings['LIGHT_INTENS'][0], places=4)
                        if 'ca' in light:   # full cone angles; the penumbra widens (> 0) or narrows the cone
                            half, penumbra = light['ca'][0] / 2, light.get('pa', [0.0])[0]
                            hotspot, falloff = obj.settings['LIGHT_HOTSPOT'][0], obj.settings['LIGHT_FALLOFF'][0]
                            self.assertAlmostEqual(half + min(penumbra, 0), hotspot / 2, places=3)
                            self.assertAlmostEqual(half + max(penumbra, 0), falloff / 2, places=3)


class Geometry(unittest.TestCase):
    def corners(self, path, *flags):
        """(object, shape, face, ASE corner of each Maya corner, position error) for every face.
        The exporter writes a mirrored node's corners backwards so that they wind counter-clockwise
        in world space. Maya takes the winding in object space and keeps it under a mirroring
        transform, so there the face must run A C B (from any corner) to face the same way."""
        ase, scene = ase_reader.read(path), run(path, *flags).scene
        for obj in (o for o in ase.objects if o.mesh):
            shape = shape_of(scene, maya_name(obj.name), 'mesh')
            self.assertEqual(len(shape.array('fc')), len(obj.mesh.faces), obj.name)
            world = scene.world_matrix(shape.parent)
            order, axes = [0, 2, 1] if det3(world) < 0 else [0, 1, 2], IDENTITY if flags else Y_UP
            vt, edges = shape.array('vt'), shape.array('ed')
            for f, face in enumerate(shape.array('fc')):
                got = [ma_check.transform_point(vt[v], world) for v in ma_check.face_vertices(edges, face)]
                want = [ma_check.transform_point(obj.mesh.verts[v], axes) for v in obj.mesh.faces[f]]
                err, start = min((max(diff(got[k], want[order[(k + r) % 3]]) for k in range(3)), r) for r in range(3))
                yield obj, shape, f, [order[(k + start) % 3] for k in range(3)], err

    def test_world_positions_per_corner(self):
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                for flags in ((), ('--z-up',)):
                    for obj, shape, f, _, err in self.corners(path, *flags):
                        size = max(max(map(abs, v)) for v in obj.mesh.verts)
                        measure(path, 'world position', err)
                        self.assertLess(err, 1e-4 * (1 + size), '%s face %d: corners or winding' % (obj.name, f))

    def test_uvs_colours_and_normals_per_corner(self):
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                for obj, shape, f, corner, _ in self.corners(path):
                    mesh, face = obj.mesh, shape.array('fc')[f]
                    if mesh.tfaces:
                        self.assertEqual(shape.attrs.get('uvst[0].uvsn'), ['map1'])
                    for table, values, ids, tag in ((mesh.tfaces, mesh.tverts, face['mu'].get(0), 'uvst[0].uvsp'),
                                                    (mesh.cfaces, mesh.cverts, face['mc'].get(0), 'clst[0].clsp')):
                        if not table or any(i >= len(values) for i in table[f]):   # InvalidUVIndex: none
                            self.assertIsNone(ids, '%s face %d %s' % (obj.name, f, tag))
                            continue
                        for k in range(3):
                            err = measure(path, tag, diff(shape.array(tag)[ids[k]], values[table[f][corner[k]]]))
                            self.assertLess(err, 1e-4, '%s face %d %s' % (obj.name, f, tag))
                    normals = shape.array('n')
                    self.assertEqual(bool(normals), mesh.normals is not None)
                    for k in range(3 if normals else 0):
                        err = measure(path, 'normal', diff(normals[3 * f + k], mesh.normals[f][corner[k]]))
                        self.assertLess(err, 2e-4, '%s face %d corner %d normal' % (obj.name, f, k))


class Animation(unittest.TestCase):
    def tracks(self, path):
        """(ASE data, Maya scene, Maya node, the node's tracks) for every animated node."""
        ase, scene = ase_reader.read(path), run(path).scene
        return [(ase, scene, maya_name(name), tracks) for obj in ase.objects for name, tracks in obj.tracks.items()]

    def test_curves_hold_the_sampled_tracks(self):
        """At every sample time, and one sampling step before each sample that follows a gap,
        the curves give the last sample: translation, rotation (composed) and scale."""
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                runs = self.tracks(path)
                gaps = [b[0] - a[0] for *_, tr in runs for s in tr.values() for a, b in zip(s, s[1:])]
                for ase, scene, node, tracks in runs:
                    times = {t for samples in tracks.values() for t, _ in samples}
                    times |= {b[0] - min(gaps) for samples in tracks.values() for a, b in zip(samples, samples[1:])}
                    rotations = ase_reader.composed_rotations(tracks['rot'])
                    for t in sorted(times):
                        value = lambda c: [scene.value(node, c + a, t / ase.ticks, float(c == 's')) for a in 'xyz']
                        for c, track in (('t', 'pos'), ('s', 'scale')):
                            if tracks[track]:
                                want = ase_reader.held(tracks[track], t)[:3]   # translation, scale factors
                                err = measure(path, 'animated ' + track, diff(value(c), want))
                                self.assertLess(err, 1e-3, '%s %s at %d' % (node, track, t))
                        if rotations:
                            got = ma_check.rotation_matrix([math.radians(a) for a in value('r')])
                            err = max(diff(g, w) for g, w in zip(got, ase_reader.held(rotations, t)))
                            self.assertLess(measure(path, 'animated rot', err), 1e-3, '%s rotation at %d' % (node, t))

    def test_rotation_curves_turn_the_short_way_between_samples(self):
        """Halfway between two neighbouring samples the Euler curves stay near the halfway
        rotation: a curve that wraps by 360 degrees or flips to the other Euler solution does not."""
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                for ase, scene, node, tracks in self.tracks(path):
                    rotations = ase_reader.composed_rotations(tracks['rot'])
                    for (t0, r0), (t1, r1) in zip(rotations, rotations[1:]):
                        frame = (t0 + t1) / 2 / ase.ticks
                        got = ma_check.rotation_matrix([math.radians(scene.value(node, 'r' + a, frame))
                                                        for a in 'xyz'])
                        off = max(turn_deg(got, r0), turn_deg(got, r1)) - turn_deg(r0, r1)
                        measure(path, 'halfway rotation beyond the step (deg)', off)
                        self.assertLess(off, 0.5, '%s between ticks %d and %d' % (node, t0, t1))

    def test_targeted_cameras_and_lights_look_at_their_targets(self):
        """At every tick where the camera (or light) or its target has a sample, its world -Z
        points at the target's world position (measured: up to 0.015 degrees on the corpus)."""
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                ase, scene = ase_reader.read(path), run(path).scene
                for obj in (o for o in ase.objects if len(o.tms) == 2):
                    ticks = {t for tracks in obj.tracks.values() for samples in tracks.values() for t, _ in samples}
                    for t in sorted(ticks | {0}):
                        world = scene.world_matrix(maya_name(obj.name), t / ase.ticks)
                        target = scene.world_matrix(maya_name(obj.name + '.Target'), t / ase.ticks)[3][:3]
                        err = angle_deg([-x for x in world[2][:3]], [a - b for a, b in zip(target, world[3][:3])])
                        self.assertLess(measure(path, 'look-at (deg)', err), 0.02, '%s at tick %d' % (obj.name, t))


class CheckerFindsFaults(unittest.TestCase):
    """ma_check itself: each edit of a good output must be reported."""
    EDITS = [
        (r'f 3 0 1 2 ', 'f 3 0 1 99 ', 'not three existing edges'),
        (r'f 3 0 1 2 ', 'f 3 0 -2 2 ', 'closed loop'),
        (r'mu 0 3 9 11 10', 'mu 0 3 9 11 12', 'outside its set'),
        (r'(".ed\[0:17\]"\s+)0 2 0', r'\g<1>0 9 0', 'edge 0'),
        (r'(".ed\[0:17\]"\s+)0 2 0 2 3 0', r'\g<1>0 2 0 2 0 0', 'repeats vertices'),
        (r'-s 8 ".vt\[0:7\]"', '-s 9 ".vt[0:7]"', '-s says'),
        (r'-s 36 ".n\[0:35\]" -type "float3"\s+\S+ \S+ \S+', '-s 35 ".n[0:34]" -type "float3"', 'normals for'),
        (r'createNode transform -n "Camera01_Target"', 'createNode transform -n "Box01"', 'used twice'),
        (r'-n "Box01" -p "\w+"', '-n "Box01" -p "Nowhere"', 'not an earlier transform'),
        (r'-n "Box01Shape"', '-n "Box01 Shape"', 'illegal node name'),
        (r'"Camera01.rx"', '"Camera02.rx"', 'missing node'),
        (r'"Camera01_translateX.o" "Camera01.tx"', '"Camera01_translateX.o" "Camera01.rx"', 'does not drive'),
        (r'(".ktv\[0:61\]"\s+0 \S+) 1 ', r'\1 0 ', 'strictly increase'),
        (r'-s 62 ".kit\[0:61\]"((\s+2){62})', r'-s 61 ".kit[0:60]"\1', 'holds 62 entries'),
        (r'-s 62 ".kit\[0:61\]"((\s+2){61})\s+2;', r'-s 61 ".kit[0:60]"\1;', '61 kit entries for 62 keys'),
        (r'-s 2 ".lnk"', '-s 3 ".lnk"', 'elements [0, 1] are used'),
        (r'(connectAttr "Camera01_Target_translateX.o")', r'createNode transform -n "Late";\n\1', 'after the first'),
        (r'\n// End of .*\n?$', '\n', 'does not end'),
    ]

    def test_each_edit_is_reported(self):
        good = run(next(p for p in inputs() if p.endswith('TargetCameraAnim.ase'))).text
        self.assertEqual(ma_check.read(good).problems, [])
        for pattern, replacement, message in self.EDITS:
            with self.subTest(edit=replacement):
                bad, count = re.subn(pattern, replacement, good, count=1)
                self.assertEqual(count, 1)
                self.assertTrue(any(message in p for p in ma_check.read(bad).problems), message)


def tearDownModule():
    harness.remove_work()
    if MEASURED:
        print('\nLargest differences measured, and warnings:', file=sys.stderr)
        for (name, what), value in sorted(MEASURED.items()):
            print('  %-58s %-38s %s' % (name, what, value if isinstance(value, str) else '%.3g' % value), file=sys.stderr)


if __name__ == '__main__':
    harness.main()
