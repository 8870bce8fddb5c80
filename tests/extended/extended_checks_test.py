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

import ase_motion
import ase_reader
import harness
import ma_check
from harness import WORK, maya_name

Y_UP = [[1, 0, 0, 0], [0, 0, -1, 0], [0, 1, 0, 0], [0, 0, 0, 1]]   # -90 degrees about X, row vectors
IDENTITY = [[float(i == j) for j in range(4)] for i in range(4)]
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
        _inputs.extend(harness.corpus() + derive_inputs(os.environ['KESTRUN_CORPUS']) + harness.cases())
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
    """The one shape of a kind under a transform (intermediate meshes aside), or None."""
    shapes = [n for n in scene.children(transform, kind) if n.attrs.get('io') != ['yes']]
    return shapes[0] if len(shapes) == 1 else None


def meshes_in_turn(obj):
    """True if the object's MESH_ANIMATION changes its vertex count or faces: one mesh per time."""
    return any(len(m.verts) != len(obj.mesh.verts) or m.faces != obj.mesh.faces for m in obj.mesh_animation)


def static_meshes(ase):
    """The objects whose file mesh is one Maya mesh (its data in an "Orig" when a blendShape deforms
    it); those shown as one mesh per time are checked at their times (Animation)."""
    return [o for o in ase.objects if o.mesh and not meshes_in_turn(o)]


def face_materials(ase, obj):
    """The material of each face of an object's mesh: its MATERIAL_REF's, or the sub-material of
    the face's MTLID modulo their count; None without a material."""
    if obj.material_ref is None or not 0 <= obj.material_ref < len(ase.materials):
        return [None] * len(obj.mesh.faces)
    mat = ase.materials[obj.material_ref]
    return [mat.subs[obj.mesh.mtlids[f] % len(mat.subs)] if mat.subs else mat for f in range(len(obj.mesh.faces))]


def flat_faces(ase, obj):
    return {f for f, m in enumerate(face_materials(ase, obj)) if m is not None and m.shading == 'Constant'}


# Maya shaders by MATERIAL_SHADING (others are lambert), and the inputs maps may feed.
SHADER_TYPES = {'Blinn': 'blinn', 'Phong': 'phong', 'Metal': 'phong', 'Constant': 'phong'}
SHADER_INPUTS = ('c', 'ambc', 'ic', 'sc', 'ec', 'cp', 'it', 'n', 'rc')
# slot: (the input it feeds, the file's output); MAP_SHINE feeds a blinn's eccentricity, a phong's cosine power.
MAP_INPUTS = {'MAP_DIFFUSE': ('c', 'oc'), 'MAP_AMBIENT': ('ambc', 'oc'), 'MAP_SELFILLUM': ('ic', 'oc'),
              'MAP_SPECULAR': ('sc', 'oc'), 'MAP_SHINESTRENGTH': ('sc', 'oc'), 'MAP_SHINE': (None, 'oa'),
              'MAP_OPACITY': ('it', 'ot'), 'MAP_BUMP': ('n', 'oa'), 'MAP_REFLECT': ('rc', 'oc')}
LAMBERT_LACKS = ('MAP_SPECULAR', 'MAP_SHINESTRENGTH', 'MAP_SHINE', 'MAP_REFLECT')


def material_shaders(test, ase, scene):
    """(material, shader node) for every material or sub-material a mesh's faces use."""
    seen = {}
    for obj in static_meshes(ase):
        shape = shape_of(scene, maya_name(obj.name), 'mesh')
        mats = face_materials(ase, obj)
        groups = face_groups(scene, shape, len(obj.mesh.faces))
        for f, group in groups.items():
            if mats[f] is not None and id(mats[f]) not in seen:
                shaders = [src.split('.')[0] for src, dst, _ in scene.connections if dst == group + '.ss']
                test.assertEqual(len(shaders), 1, group)
                seen[id(mats[f])] = (mats[f], shaders[0])
    return list(seen.values())


def face_groups(scene, shape, faces):
    """{face: shading group} of a mesh shape, from its whole-object or per-face assignments."""
    groups = {}
    for src, dst, _ in scene.connections:
        if src == shape.name + '.iog' and dst.endswith('.dsm'):
            groups.update({f: dst.split('.')[0] for f in range(faces)})
        m = re.fullmatch(re.escape(shape.name) + r'\.iog\.og\[(\d+)\]', src)
        if m and dst.endswith('.dsm') and 'iog[0].og[%s].gcl' % m.group(1) in shape.attrs:
            for item in shape.attrs['iog[0].og[%s].gcl' % m.group(1)][1:]:
                lo, _, hi = item[2:-1].partition(':')
                groups.update({f: dst.split('.')[0] for f in range(int(lo), int(hi or lo) + 1)})
    return groups


def expected_inputs(mat, kind):
    """{shader input: sorted [(bitmap, file output, utility nodes passed)]} the material's maps feed."""
    bitmaps = {slot: m for slot, m in mat.maps.items() if m.cls == 'Bitmap' and m.bitmap and slot in MAP_INPUTS
               and not (kind == 'lambert' and slot in LAMBERT_LACKS)}
    both = 'MAP_SPECULAR' in bitmaps and 'MAP_SHINESTRENGTH' in bitmaps
    want = {}
    for slot, m in bitmaps.items():
        attr, plug = MAP_INPUTS[slot]
        via = ()
        if slot == 'MAP_SHINE':
            attr, via = ('ec', ('reverse',)) if kind == 'blinn' else ('cp', ())
        elif slot == 'MAP_BUMP':
            via = ('bump2d',)
        elif slot in ('MAP_SPECULAR', 'MAP_SHINESTRENGTH') and both:
            via = ('multiplyDivide',)
        want.setdefault(attr, []).append((m.bitmap, plug, via))
    return {attr: sorted(v) for attr, v in want.items()}


def check_blend(test, scene, mat, kind, slot, m, f, shader):
    """What the file gives its input for texel values 0 and 1 is amount * texel + (1 - amount) * the
    material's own value (the colour gain and offset, or the alpha's, of the file node)."""
    a = min(max(m.amount, 0.0), 1.0)
    gain, offset = f.attrs.get('cg', [1.0] * 3), f.attrs.get('co', [0.0] * 3)
    alpha = lambda x: x * f.attrs.get('ag', [1.0])[0] + f.attrs.get('ao', [0.0])[0]
    gloss = min(max(mat.shine / 128 if mat.shine > 1 else mat.shine, 0.0), 1.0)
    for x in (0.0, 1.0):
        if slot in ('MAP_DIFFUSE', 'MAP_AMBIENT'):
            own = mat.diffuse if slot == 'MAP_DIFFUSE' else mat.ambient
            got, want = [x * g + o for g, o in zip(gain, offset)], [a * x + (1 - a) * c for c in own]
        elif slot == 'MAP_OPACITY':   # the file's outTransparency is 1 - outAlpha
            got, want = [1 - alpha(x)], [1 - (a * x + (1 - a) * (1 - mat.transparency))]
        elif slot == 'MAP_SHINE':
            got = [1 - alpha(x)] if kind == 'blinn' else [alpha(x)]
            g = a * x + (1 - a) * gloss
            want = [1 - g] if kind == 'blinn' else [2 + 98 * g]
        elif slot == 'MAP_BUMP':
            got, want = scene.nodes[scene.inputs[shader + '.n'].split('.')[0]].attrs.get('bd', [1.0]), [m.amount]
        elif slot == 'MAP_REFLECT':
            got, want = scene.nodes[shader].attrs.get('rfl', [0.5]), [m.amount]
        else:
            continue
        test.assertLess(measure(mat.name, 'map blend ' + slot, diff(got, want)), 1e-5, '%s %s at %g' % (mat.name, slot, x))


def expected_shapes(obj):
    """The types of the shapes an object's transform holds."""
    if obj.kind == 'GEOMOBJECT':
        if obj.mesh_animation:
            return ['mesh'] * len(obj.mesh_animation) if meshes_in_turn(obj) else ['mesh', 'mesh']
        return ['mesh'] if obj.mesh else []
    if obj.kind == 'SHAPEOBJECT':
        return ['nurbsCurve'] * len([line for line in obj.shape_lines if len(line_points(line)) >= 2])
    if obj.kind == 'LIGHTOBJECT':
        return [light_shape(obj)]
    return ['camera'] if obj.kind == 'CAMERAOBJECT' else []


def line_points(line):
    """A polyline's points, a closed one's repeated closing point once."""
    points = line.points
    return points[:-1] if line.closed and len(points) > 1 and points[-1] == points[0] else points


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
                        self.assertEqual([n.type for n in scene.children(name) if n.type != 'transform'],
                                         expected_shapes(obj), name)
                        for i, (tm_name, tm) in enumerate(obj.tms.items()):   # its own TM (AC3D names it
                            node = maya_name(obj.name)                          # "Object01"), then a target's
                            if i:
                                self.assertEqual(tm_name, obj.name + '.Target')
                                node = maya_name(tm_name)
                                self.assertEqual(scene.nodes[node].parent, root)
                            got, want = scene.world_matrix(node), ma_check.mul(tm, axes)
                            err = measure(path, 'node world matrix', max(diff(g, w) for g, w in zip(got, want)))
                            self.assertLess(err, 1e-4 * (1 + max(map(abs, want[3]))), node)

    def test_switches_keep_the_parents_of_what_they_convert(self):
        """With -a, -l or -c alone, every node written moves in the world as with no switch:
        a parent the switch leaves out is kept as a plain transform with its animation."""
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                ase, full = ase_reader.read(path), run(path).scene
                frames = sorted({ase.first + (ase.last - ase.first) * k // 12 for k in range(13)})
                for flag, at in (('-a', frames), ('-l', [None]), ('-c', [None])):   # -l, -c: no curves
                    part = run(path, flag).scene
                    for node in (n for n in part.order if n.type == 'transform' and n.parent):
                        self.assertIn(node.name, full.nodes, flag)
                        for frame in at:
                            err = max(diff(a, b) for a, b in zip(part.world_matrix(node.name, frame),
                                                                 full.world_matrix(node.name, frame)))
                            self.assertLess(measure(path, 'world matrix with a switch', err), 1e-6,
                                            '%s %s at frame %s' % (flag, node.name, frame))

    def test_materials_and_textures(self):
        """Meshes use the material of their MATERIAL_REF (the sub-material of their MTLID when
        it has any), with its bitmap as the file texture on the colour; others the default group."""
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                ase, scene = ase_reader.read(path), run(path).scene
                into = {}
                for src, dst, _ in scene.connections:
                    into.setdefault(dst.partition('.')[0], []).append((src, dst))
                for obj in static_meshes(ase):
                    shape = shape_of(scene, maya_name(obj.name), 'mesh')
                    groups = face_groups(scene, shape, len(obj.mesh.faces))   # face -> shading group
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

    def test_every_map_feeds_its_input(self):
        """Each bitmap map of a material that a mesh uses is a file texture feeding the input of its
        slot (through a bump2d, a reverse or a multiplyDivide where the slot needs one), with its
        path; at an amount below 1 the file's gain and offset blend it with the material's own value;
        slots without an input, and maps that are no bitmaps, feed nothing."""
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                ase, scene = ase_reader.read(path), run(path).scene
                for mat, shader in material_shaders(self, ase, scene):
                    kind = SHADER_TYPES.get(mat.shading, 'lambert')
                    got = {attr: sorted((f.attrs['ftn'][0], plug, via) for f, plug, via in scene.feeds(shader + '.' + attr))
                           for attr in SHADER_INPUTS}
                    self.assertEqual({a: v for a, v in got.items() if v}, expected_inputs(mat, kind), mat.name)
                    for slot, m in mat.maps.items():
                        files = [f for attr in SHADER_INPUTS for f, _, _ in scene.feeds(shader + '.' + attr)
                                 if f.attrs['ftn'][0] == m.bitmap]
                        if files:
                            self.assertEqual(files[0].attrs.get('i') == ['yes'], m.invert, slot)
                            check_blend(self, scene, mat, kind, slot, m, files[0], shader)

    def test_render_flags_and_sides(self):
        """Every mesh shape casts and receives shadows and blurs as the object's PROP_ lines say
        (without them, as Maya's defaults do), and is double-sided only where a face's material is
        MATERIAL_TWOSIDED."""
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                ase, scene = ase_reader.read(path), run(path).scene
                for obj in (o for o in ase.objects if o.mesh):
                    want = {'csh': obj.props.get('PROP_CASTSHADOW', 1) != 0, 'rcsh': obj.props.get('PROP_RECVSHADOW', 1) != 0,
                            'mb': obj.props.get('PROP_MOTIONBLUR', 1) != 0,
                            'ds': any(m is not None and m.two_sided for m in face_materials(ase, obj))}
                    for shape in scene.children(maya_name(obj.name), 'mesh'):
                        if shape.attrs.get('io') == ['yes']:
                            continue
                        got = {flag: shape.attrs.get(flag, ['yes']) == ['yes'] for flag in want}
                        self.assertEqual(got, want, shape.name)

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
        for obj in static_meshes(ase):
            shape = scene.mesh_data(shape_of(scene, maya_name(obj.name), 'mesh').name)
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
                ase = ase_reader.read(path)
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
                    flat = f in flat_faces(ase, obj)   # a Constant material's face has its own normal
                    for k in range(3 if normals else 0):
                        want = mesh.face_normals[f] if flat else mesh.normals[f][corner[k]]
                        err = measure(path, 'normal', diff(normals[3 * f + k], want))
                        self.assertLess(err, 2e-4, '%s face %d corner %d normal' % (obj.name, f, k))


    def test_shape_points_are_the_files(self):
        """Each polyline of a shape with two points or more is a nurbsCurve of degree 1 under the
        shape's transform whose points lie where the file's do, in order; a closed one is periodic,
        its first point repeated at its end."""
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                ase = ase_reader.read(path)
                for flags, axes in (((), Y_UP), (('--z-up',), IDENTITY)):
                    scene = run(path, *flags).scene
                    for obj in (o for o in ase.objects if o.kind == 'SHAPEOBJECT'):
                        curves = scene.children(maya_name(obj.name), 'nurbsCurve')
                        lines = [line for line in obj.shape_lines if len(line_points(line)) >= 2]
                        self.assertEqual(len(curves), len(lines), obj.name)
                        world = scene.world_matrix(maya_name(obj.name))
                        for curve, line in zip(curves, lines):
                            data, points = ma_check.nurbs_curve(curve), line_points(line)
                            closed = line.closed and len(points) > 2
                            self.assertEqual((data['degree'], data['form']), (1, 2 if closed else 0), curve.name)
                            want = [ma_check.transform_point(p, axes) for p in points + points[:1] * closed]
                            got = [ma_check.transform_point(p, world) for p in data['points']]
                            self.assertEqual(len(got), len(want), curve.name)
                            size = max(max(map(abs, p)) for p in want)
                            err = measure(path, 'shape point', max(diff(g, w) for g, w in zip(got, want)))
                            self.assertLess(err, 1e-4 * (1 + size), curve.name)

    def test_hard_and_soft_edges_keep_the_look_of_the_normals(self):
        """An edge between two faces is hard where their normals differ at either end; where
        they agree, soft if the faces share a smoothing group, and with no group on either face
        soft if the normals are smoothed (differ from both faces' own at an end). Without
        normals the groups alone decide."""
        def differ(a, b):
            return max(abs(x - y) for x, y in zip(a, b)) > 1e-3

        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                ase, scene = ase_reader.read(path), run(path).scene
                for obj in static_meshes(ase):
                    mesh, flat = obj.mesh, flat_faces(ase, obj)
                    shape = scene.mesh_data(shape_of(scene, maya_name(obj.name), 'mesh').name)
                    groups = mesh.smoothing
                    faces_on = {}
                    for f, face in enumerate(mesh.faces):
                        for a, b in zip(face, face[1:] + face[:1]):
                            faces_on.setdefault(frozenset((a, b)), []).append(f)

                    def soft(f1, f2, u, v):
                        if f1 in flat or f2 in flat:   # a Constant material's faces are flat
                            return False
                        if not mesh.normals:
                            return bool(groups[f1] & groups[f2])
                        n = lambda f, w: mesh.normals[f][mesh.faces[f].index(w)]
                        if differ(n(f1, u), n(f2, u)) or differ(n(f1, v), n(f2, v)):
                            return False
                        if groups[f1] | groups[f2]:
                            return bool(groups[f1] & groups[f2])
                        own = (mesh.face_normals[f1], mesh.face_normals[f2])
                        return any(all(differ(n(f1, w), o) for o in own) for w in (u, v))

                    for e, (u, v, flag) in enumerate(shape.array('ed')):
                        on = faces_on[frozenset((int(u), int(v)))]
                        want = any(soft(on[0], f, int(u), int(v)) for f in on[1:])
                        self.assertEqual(bool(flag), want, '%s edge %d (%d, %d)' % (obj.name, e, u, v))
                        measure(path, 'soft edges', MEASURED.get((os.path.basename(path), 'soft edges'), 0) + want)


class Animation(unittest.TestCase):
    def motions(self, path):
        """(ASE data, Maya scene, Maya node, the file's Motion) for every animated node whose
        parent is in the file; a target's transform is in world space, as is its Maya node's."""
        ase, scene = ase_reader.read(path), run(path).scene
        worlds = {name: tm for obj in ase.objects for name, tm in obj.tms.items()}
        found = []
        for obj in ase.objects:
            for name, tracks in obj.tracks.items():
                target = name != obj.name and name.endswith('.Target')
                world = obj.tms.get(name) or next(iter(obj.tms.values()), IDENTITY)
                parent = None if target else obj.parent
                if parent and parent not in worlds:
                    continue
                local = ma_check.mul(world, ase_motion.inverse4(worlds[parent])) if parent else world
                found.append((ase, scene, maya_name(name),
                              ase_motion.Motion(tracks, local, ase.first * ase.ticks, ase.ticks)))
        return found

    def test_local_matrices_follow_the_file_at_every_frame(self):
        """At every frame of the range and halfway between frames, at every sample or key, and
        halfway between those, the
        node's local matrix from its curves is the file's: within 1e-3 at samples and keys and at
        every frame between linear keys (a constant-rate turn), within 1e-2 (half a degree)
        between frames and between samples, where the file says nothing; between Bezier and TCB
        keys only the translation or rotation that moves straight there is compared."""
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                for ase, scene, node, motion in self.motions(path):
                    keys = motion.key_ticks()
                    ticks = set(keys) | {f * ase.ticks / 2 for f in range(2 * ase.first, 2 * ase.last + 1)}
                    ticks |= {(a + b) / 2 for a, b in zip(keys, keys[1:])}
                    for tick in sorted(ticks):
                        at_key = any(abs(tick - k) < 1e-6 for k in keys)
                        at_frame = abs(tick / ase.ticks - round(tick / ase.ticks)) < 1e-9
                        tolerance = 1e-3 if at_key or (at_frame and not motion.sampled_only()) else 1e-2
                        got = scene.local_matrix(node, tick / ase.ticks)
                        translation, linear = motion.local(tick)
                        if translation is not None:
                            err = measure(path, 'local translation', diff(got[3][:3], translation))
                            self.assertLess(err, 1e-3 * (1 + max(map(abs, translation))), '%s at %g' % (node, tick))
                        if linear is not None:
                            size = max(max(map(abs, row)) for row in linear)
                            err = max(diff(g[:3], w) for g, w in zip(got, linear)) / max(size, 1e-9)
                            measure(path, 'local rotation and scale' + (' between frames' if tolerance > 1e-3
                                                                         else ''), err)
                            self.assertLess(err, tolerance, '%s at tick %g' % (node, tick))

    def test_targeted_cameras_and_lights_look_at_their_targets(self):
        """At every tick where the camera (or light) or its target has a sample, its world -Z
        points at the target's world position (measured: up to 0.015 degrees on the corpus)."""
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                ase, scene = ase_reader.read(path), run(path).scene
                for obj in (o for o in ase.objects if len(o.tms) == 2):
                    ticks = {k[0] for tracks in obj.tracks.values() for track in tracks.values() if track
                             for k in track.keys}
                    for t in sorted(ticks | {0}):
                        world = scene.world_matrix(maya_name(obj.name), t / ase.ticks)
                        target = scene.world_matrix(maya_name(obj.name + '.Target'), t / ase.ticks)[3][:3]
                        err = angle_deg([-x for x in world[2][:3]], [a - b for a, b in zip(target, world[3][:3])])
                        self.assertLess(measure(path, 'look-at (deg)', err), 0.02, '%s at tick %d' % (obj.name, t))

    def test_animated_meshes_pass_through_every_frame(self):
        """At the time of each mesh of MESH_ANIMATION one mesh shape of the node is visible, and its
        vertices (through its blendShape, at the weights of that frame) lie in the world where the
        file's mesh has them."""
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                ase, scene = ase_reader.read(path), run(path).scene
                for obj in (o for o in ase.objects if o.mesh_animation):
                    name = maya_name(obj.name)
                    shapes = [n for n in scene.children(name, 'mesh') if n.attrs.get('io') != ['yes']]
                    for mesh in obj.mesh_animation:
                        frame = mesh.time / ase.ticks
                        shown = [n for n in shapes if scene.visible(n.name, frame)]
                        self.assertEqual(len(shown), 1, '%s at frame %g' % (obj.name, frame))
                        world = scene.world_matrix(name, frame)
                        got = [ma_check.transform_point(p, world) for p in scene.mesh_points(shown[0].name, frame)]
                        want = [ma_check.transform_point(v, Y_UP) for v in mesh.verts]
                        self.assertEqual(len(got), len(want), '%s at frame %g' % (obj.name, frame))
                        size = max(max(map(abs, v)) for v in want)
                        err = measure(path, 'animated mesh vertex', max(diff(g, w) for g, w in zip(got, want)))
                        self.assertLess(err, 1e-3 * (1 + size), '%s at frame %g' % (obj.name, frame))

    def test_visibility_at_every_frame(self):
        """At every frame of the range and at every key, a node with a visibility track is visible
        exactly where the track's value is above 0."""
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                ase, scene = ase_reader.read(path), run(path).scene
                for obj in (o for o in ase.objects if o.visibility):
                    ticks = {f * ase.ticks for f in range(ase.first, ase.last + 1)} | {t for t, _ in obj.visibility.keys}
                    for tick in sorted(ticks):
                        want = ase_motion.float_value(obj.visibility, tick) > 0
                        self.assertEqual(scene.visible(maya_name(obj.name), tick / ase.ticks), want,
                                         '%s at tick %g' % (obj.name, tick))
                        MEASURED[(os.path.basename(path), 'visibility frames')] = \
                            MEASURED.get((os.path.basename(path), 'visibility frames'), 0) + 1

    def test_camera_and_light_settings_at_their_times(self):
        """At the time of each settings block of CAMERA_ANIMATION and LIGHT_ANIMATION the shape's
        field of view, target distance, clipping planes, colour, intensity and cone are the block's."""
        for path in inputs():
            with self.subTest(file=os.path.basename(path)):
                ase, scene = ase_reader.read(path), run(path).scene
                for obj in (o for o in ase.objects if o.animated_settings):
                    kind = 'camera' if obj.kind == 'CAMERAOBJECT' else light_shape(obj)
                    shape = shape_of(scene, maya_name(obj.name), kind).name
                    clipped = all('CAMERA_HITHER' in s for s in obj.animated_settings)
                    for settings in obj.animated_settings:
                        frame = settings['TIMEVALUE'][0] / ase.ticks
                        at = lambda attr, default=0.0: scene.setting(shape, attr, frame, default)
                        if kind == 'camera':
                            fov = 2 * math.atan(1.41732 * 25.4 / 2 / at('fl', 35.0))
                            got, want = [fov, at('coi', 5.0)], [settings['CAMERA_FOV'][0], settings['CAMERA_TDIST'][0]]
                            if clipped:
                                got += [at('ncp', 0.1), at('fcp', 10000.0)]
                                want += [settings['CAMERA_HITHER'][0], settings['CAMERA_YON'][0]]
                        else:
                            got = [at('cr'), at('cg'), at('cb'), at('in', 1.0)]
                            want = settings['LIGHT_COLOR'] + settings['LIGHT_INTENS']
                            if kind == 'spotLight':   # full cone angles; the penumbra widens the hotspot's cone
                                got += [at('ca') / 2, at('ca') / 2 + at('pa')]
                                want += [settings['LIGHT_HOTSPOT'][0] / 2, settings['LIGHT_FALLOFF'][0] / 2]
                        err = measure(path, 'animated settings', diff(got, want))
                        self.assertLess(err, 1e-4 * (1 + max(map(abs, want))), '%s at frame %g' % (obj.name, frame))


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
        (r'-s 62 ".kit\[0:61\]"((\s+2){62});', r'-s 62 ".kit[0:61]"\1;\n\tsetAttr ".kit[61:61]" 2;', 'one element'),
    ]

    def test_each_edit_is_reported(self):
        good = run(next(p for p in inputs() if p.endswith('TargetCameraAnim.ase'))).text
        self.assertEqual(ma_check.read(good).problems, [])
        for pattern, replacement, message in self.EDITS:
            with self.subTest(edit=replacement):
                bad, count = re.subn(pattern, replacement, good, count=1)
                self.assertEqual(count, 1)
                self.assertTrue(any(message in p for p in ma_check.read(bad).problems), message)

    # Edits of the animated meshes' and shapes' outputs: blendShapes, weight curves and nurbsCurves.
    NEW_NODE_EDITS = [
        ('mesh_animation.ase', r'"componentList" 1 "vtx\[1:3\]"', '"componentList" 1 "vtx[1:4]"',
         'not one move per vertex'),
        ('mesh_animation.ase', r'"componentList" 1 "vtx\[1\]"', '"componentList" 1 "vtx[7]"', 'outside the mesh'),
        ('mesh_animation.ase', r'"MorphBlendShape.og\[0\]" "MorphShape.i"', '"MorphBlendShape.og[0]" "MorphShapeOrig.i"',
         'not an intermediate mesh'),
        ('mesh_animation.ase', r'"MorphBlendShape_weight0.o" "MorphBlendShape.w\[0\]"',
         '"MorphBlendShape_weight0.o" "Morph.w[0]"', 'does not drive'),
        ('shapes.ase', r'1 8 2 no 3', '1 9 2 no 3', 'knots and'),
        ('shapes.ase', r'(\n\t\t0 1 1\n\t\t)0 0 1(\n\t\t;)', r'\g<1>0 0 2\2', 'do not repeat'),
        ('shapes.ase', r'createNode nurbsCurve -n "OutlineShape" -p "Outline"', 'createNode nurbsCurve -n "OutlineShape"',
         'no transform parent'),
    ]

    def test_each_edit_of_the_new_nodes_is_reported(self):
        for case, pattern, replacement, message in self.NEW_NODE_EDITS:
            with self.subTest(edit=replacement):
                good = run(next(p for p in inputs() if p.endswith(case))).text
                self.assertEqual(ma_check.read(good).problems, [])
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
