#!/usr/bin/env python3
"""Reader and consistency checker for the Maya ASCII subset Kestrun writes in extended mode.

scene = read(text) gives the nodes, connections and problems found; the scene evaluates any
transform's local and world matrix at a frame (row-vector matrices, p' = p * M,
local = S * SH * RA * R * T, world = local * parentWorld), any curve-driven attribute at a frame,
a mesh's vertices at a frame through its blendShape, a nurbsCurve's points, and what a shading
node's input is fed by. Run as a command on .ma files, it lists their problems and exits 1 if
there are any.
"""
import bisect
import math
import re
import sys

FPS = {'game': 15, 'film': 24, 'pal': 25, 'ntsc': 30, 'show': 48, 'palf': 50, 'ntscf': 60}
LEGAL_NAME = re.compile(r'[A-Za-z_][A-Za-z0-9_]*\Z')
WIDTH = {'vt': 3, 'ed': 3, 'n': 3, 'pt': 3, 'uvsp': 2, 'clsp': 4, 'ktv': 2}
TYPE_WIDTH = {'float2': 2, 'double2': 2, 'float3': 3, 'double3': 3}
# The attributes each animCurve type may drive, by the type of the node driven (any light: 'light').
CURVE_TARGETS = {
    'transform': {'animCurveTL': r't[xyz]', 'animCurveTA': r'ra?[xyz]', 'animCurveTU': r's[xyz]|sh(xy|xz|yz)|v'},
    'mesh': {'animCurveTU': r'v'},
    'camera': {'animCurveTU': r'fl', 'animCurveTL': r'ncp|fcp|coi'},
    'light': {'animCurveTU': r'c[rgb]|in', 'animCurveTA': r'ca|pa'},
    'blendShape': {'animCurveTU': r'w\[\d+\]'},
}
STATIC_OF = {'cr': ('cl', 0), 'cg': ('cl', 1), 'cb': ('cl', 2)}   # a colour channel's static value
SHAPES = ('mesh', 'camera', 'nurbsCurve')
CHANNEL_INDEX = {'x': 0, 'y': 1, 'z': 2, 'xy': 0, 'xz': 1, 'yz': 2}
ROTATE_ORDERS = ['xyz', 'yzx', 'zxy', 'xzy', 'yxz', 'zyx']
UNEVALUATED = ('rp', 'sp', 'rpt', 'spt', 'jo')   # pivots etc.: not part of the evaluation
_TOKEN = re.compile(r'"(?:[^"\\]|\\.)*"|;|[^\s;"]+')
_PATH = re.compile(r'(.*?)(?:\[(\d+)(?::(\d+))?\])?\Z')


class Word(str):
    """A bare token; quoted strings are plain str with the quotes and escapes removed."""


def unescape(s):
    return re.sub(r'\\(.)', lambda m: {'n': '\n', 't': '\t'}.get(m.group(1), m.group(1)), s[1:-1])


class Node:
    def __init__(self, kind, name, parent, line):
        self.type, self.name, self.parent, self.line = kind, name, parent, line
        self.attrs = {}    # plain attribute -> list of values
        self.arrays = {}   # array attribute -> {'size': N, 'chunks': [(lo, hi, entries, line)]}
        self.scene_fps = None   # an animCurve's: the file's frame rate, for its fixed tangents

    def array(self, base):
        """Entries of an array attribute in index order (None where nothing was set)."""
        arr = self.arrays.get(base)
        if not arr:
            return []
        size = arr['size'] if arr['size'] is not None else max(hi for _, hi, _, _ in arr['chunks']) + 1
        out = [None] * size
        for lo, _, entries, _ in arr['chunks']:
            out[lo:lo + len(entries)] = entries
        return out


class Scene:
    def __init__(self):
        self.nodes, self.order, self.connections, self.problems = {}, [], [], []
        self.fps, self.drivers = None, {}   # drivers: (transform, 'tx') -> curve

    def problem(self, line, message):
        self.problems.append('line %d: %s' % (line, message) if line else message)

    def children(self, name, kind=None):
        return [n for n in self.order if n.parent == name and (kind is None or n.type == kind)]

    # ---- evaluation ----
    def value(self, name, attr, frame, default=0.0):
        """A transform channel ('tx', 'ry', 'shxz', ...) at a frame: its curve if one drives it,
        else the static value. With frame None, the static value (without curves)."""
        curve = self.drivers.get((name, attr))
        if curve and frame is not None:
            return evaluate_curve(self.nodes[curve], frame)
        base = attr[:2] if attr[:2] in ('sh', 'ra') else attr[0]
        static = self.nodes[name].attrs.get(base)
        return static[CHANNEL_INDEX[attr[len(base):]]] if static else default

    def local_matrix(self, name, frame=None):
        node = self.nodes[name]
        t = [self.value(name, 't' + a, frame) for a in 'xyz']
        r = [math.radians(self.value(name, 'r' + a, frame)) for a in 'xyz']
        s = [self.value(name, 's' + a, frame, 1.0) for a in 'xyz']
        xy, xz, yz = [self.value(name, 'sh' + a, frame) for a in ('xy', 'xz', 'yz')]
        ra = [math.radians(self.value(name, 'ra' + a, frame)) for a in 'xyz']
        order = ROTATE_ORDERS[int(node.attrs.get('ro', [0])[0])]
        m = mul(mul(mul(scale_matrix(s), [[1, 0, 0, 0], [xy, 1, 0, 0], [xz, yz, 1, 0], [0, 0, 0, 1]]),
                    rotation_matrix(ra)), rotation_matrix(r, order))
        m[3][:3] = t
        return m

    def world_matrix(self, name, frame=None):
        parent = self.nodes[name].parent
        local = self.local_matrix(name, frame)
        return mul(local, self.world_matrix(parent, frame)) if parent else local

    def setting(self, name, attr, frame, default=0.0):
        """Any attribute a curve may drive ('fl', 'cr', 'v', 'w[2]'...) at a frame: its curve's value, or
        its static value (yes and no as 1 and 0), or `default`."""
        curve = self.drivers.get((name, attr))
        if curve:
            return evaluate_curve(self.nodes[curve], frame)
        base, index = STATIC_OF.get(attr, (attr, 0))
        static = self.nodes[name].attrs.get(base)
        if not static:
            return default
        return {'yes': 1.0, 'no': 0.0}.get(static[index], static[index]) if isinstance(static[index], str) \
            else static[index]

    def visible(self, name, frame):
        return float(self.setting(name, 'v', frame, 1.0)) > 0.5

    @property
    def inputs(self):
        """{destination plug: source plug} of every connection."""
        if not hasattr(self, '_inputs'):
            self._inputs = {dst: src for src, dst, _ in self.connections}
        return self._inputs

    def feeds(self, plug):
        """The file textures that feed a plug ('blinn1.c'), through bump2d, reverse and
        multiplyDivide nodes: [(file node, its output plug, the utility types passed through)]."""
        found, src = [], self.inputs.get(plug)
        if src is None:
            return found
        node = self.nodes[src.split('.')[0]]
        if node.type == 'file':
            return [(node, src.split('.', 1)[1], ())]
        inner = {'bump2d': ['bv'], 'reverse': ['ix'], 'multiplyDivide': ['i1', 'i2']}.get(node.type, [])
        for attr in inner:
            found += [(f, out, (node.type,) + via) for f, out, via in self.feeds('%s.%s' % (node.name, attr))]
        return found

    def mesh_data(self, shape):
        """The mesh that holds a shape's data: the shape itself, or for a shape that shows a deformer's
        output, the intermediate mesh its history starts from (through groupParts nodes)."""
        plug = self.inputs.get(shape + '.i')
        while plug is not None:
            node = self.nodes[plug.split('.')[0]]
            if node.type == 'mesh':
                return node
            plug = self.inputs.get(node.name + ('.ip[0].ig' if node.type == 'blendShape' else '.ig'))
        return self.nodes[shape]

    def mesh_points(self, shape, frame):
        """A mesh shape's vertices at a frame, in its node's space: its own, or its blendShape's output
        (the input's points, each target's moves times its weight at the frame added)."""
        data = self.mesh_data(shape)
        points = [list(p) for p in data.array('vt')]
        source = self.inputs.get(shape + '.i')
        blend = self.nodes[source.split('.')[0]] if source else None
        if blend is None or blend.type != 'blendShape':
            return points
        weights = blend.array('w')
        for k in range(len(weights)):
            weight = self.setting(blend.name, 'w[%d]' % k, frame, weights[k][0] if weights[k] else 0.0)
            for index, move in zip(*blend_target(blend, k)):
                points[index] = [p + weight * d for p, d in zip(points[index], move)]
        return points


def blend_target(blend, k):
    """(vertices, moves) of a blendShape's target k: its componentList and its pointArray."""
    ipt = blend.attrs.get('it[0].itg[%d].iti[6000].ipt' % k, ['0'])
    ict = blend.attrs.get('it[0].itg[%d].iti[6000].ict' % k, ['0'])
    moves = [[float(x) for x in ipt[1 + 4 * i:4 + 4 * i]] for i in range(int(ipt[0]))]
    vertices = []
    for item in ict[1:]:
        lo, _, hi = item[4:-1].partition(':')
        vertices += range(int(lo), int(hi or lo) + 1)
    return vertices, moves


def nurbs_curve(node):
    """NS-like dict of a nurbsCurve's ".cc": degree, spans, form, knots and points (None if unreadable)."""
    words = node.attrs.get('cc')
    try:
        degree, spans, form, dim = int(words[0]), int(words[1]), int(words[2]), int(words[4])
        nk = int(words[5])
        knots = [float(w) for w in words[6:6 + nk]]
        nc = int(words[6 + nk])
        flat = [float(w) for w in words[7 + nk:7 + nk + dim * nc]]
        if len(flat) != dim * nc or len(words) != 7 + nk + dim * nc:
            return None
        return {'degree': degree, 'spans': spans, 'form': form, 'knots': knots,
                'points': [flat[i:i + dim] for i in range(0, len(flat), dim)]}
    except (TypeError, ValueError, IndexError):
        return None


def mul(a, b):
    return [[sum(a[i][k] * b[k][j] for k in range(len(b))) for j in range(len(b[0]))] for i in range(len(a))]


def scale_matrix(s):
    return [[s[0], 0, 0, 0], [0, s[1], 0, 0], [0, 0, s[2], 0], [0, 0, 0, 1]]


def rotation_matrix(radians, order='xyz'):
    """Maya's R for row vectors: RX * RY * RZ for rotate order xyz (letters permuted for others)."""
    (cx, cy, cz), (sx, sy, sz) = [math.cos(a) for a in radians], [math.sin(a) for a in radians]
    axes = {'x': [[1, 0, 0, 0], [0, cx, sx, 0], [0, -sx, cx, 0], [0, 0, 0, 1]],
            'y': [[cy, 0, -sy, 0], [0, 1, 0, 0], [sy, 0, cy, 0], [0, 0, 0, 1]],
            'z': [[cz, sz, 0, 0], [-sz, cz, 0, 0], [0, 0, 1, 0], [0, 0, 0, 1]]}
    return mul(mul(axes[order[0]], axes[order[1]]), axes[order[2]])


def transform_point(p, m):
    return [sum(([*p, 1.0][k] * m[k][j]) for k in range(4)) for j in range(3)]


def keys(curve):
    """[(frame, value)] of an animCurve (kept on the node once read)."""
    if not hasattr(curve, 'keys'):
        curve.keys = [tuple(k) for k in curve.array('ktv') if k is not None]
    return curve.keys


def evaluate_curve(curve, frame):
    """Value at a frame: exact at keys, held outside them; between them by the out tangent of
    the key before and the in tangent of the key after: step holds, fixed tangents (kix/kiy,
    kox/koy: seconds and value) make a cubic Hermite segment, linear and spline ones are taken
    as the straight line (a spline segment is checked only at its keys)."""
    ks = keys(curve)
    times = [t for t, _ in ks]
    i = bisect.bisect_right(times, frame + 1e-9)
    if i == 0 or i == len(ks) or abs(times[i - 1] - frame) < 1e-9:
        return ks[max(i - 1, 0)][1]
    (t0, v0), (t1, v1) = ks[i - 1], ks[i]
    s = (frame - t0) / (t1 - t0)
    out_type, in_type = _tangent(curve, 'kot', i - 1), _tangent(curve, 'kit', i)
    if out_type == 5:
        return v0
    if out_type == 1 or in_type == 1:
        fps = curve.scene_fps or 24
        slope = lambda pair, k, kind: (curve.array(pair[1])[k][0] / curve.array(pair[0])[k][0]) / fps \
            if kind == 1 else (v1 - v0) / (t1 - t0)
        m0 = slope(('kox', 'koy'), i - 1, out_type) * (t1 - t0)
        m1 = slope(('kix', 'kiy'), i, in_type) * (t1 - t0)
        return (2 * s ** 3 - 3 * s ** 2 + 1) * v0 + (s ** 3 - 2 * s ** 2 + s) * m0 + \
            (-2 * s ** 3 + 3 * s ** 2) * v1 + (s ** 3 - s ** 2) * m1
    return v0 + (v1 - v0) * s


def _tangent(curve, attr, k):
    types = curve.array(attr)
    return int(types[k][0]) if k < len(types) and types[k] is not None else 2


def _poly_faces(words, scene, line):
    faces, i = [], 0
    try:
        while i < len(words):
            tag = words[i]
            if tag == 'f':
                n = int(words[i + 1])
                faces.append({'f': [int(w) for w in words[i + 2:i + 2 + n]], 'mu': {}, 'mc': {}})
                i += 2 + n
            elif tag in ('mu', 'mc') and faces:
                k, n = int(words[i + 1]), int(words[i + 2])
                faces[-1][tag][k] = [int(w) for w in words[i + 3:i + 3 + n]]
                i += 3 + n
            else:
                scene.problem(line, 'polyFaces record %r is not f/mu/mc' % tag)
                return faces
    except (ValueError, IndexError):
        scene.problem(line, 'polyFaces data ends inside a record')
    return faces


def _set_attr(scene, node, words, line):
    flags, path, values, i = {}, None, [], 0
    while i < len(words):                               # flags may come before or after the plug
        takes = words[i] in ('-s', '-k', '-type', '-ch', '-l')
        if isinstance(words[i], Word) and re.fullmatch('-[A-Za-z]+', words[i]):
            flags[words[i]] = words[i + 1] if takes else True
            i += 2 if takes else 1
            continue
        if path is None:
            path = words[i]
        else:
            values.append(words[i])
        i += 1
    if not path.startswith('.'):                        # "node.attr" after a late parent command
        owner, _, rest = path.partition('.')
        node, path = scene.nodes.get(owner), '.' + rest
        if node is None:
            return scene.problem(line, 'setAttr on unknown node %r' % owner)
    if node is None:
        return                                          # on a Maya default picked by select -ne
    base, lo, hi = _PATH.match(path[1:]).groups()
    kind = flags.get('-type')
    if lo is None and '-s' not in flags:
        node.attrs[base] = [float(v) for v in values] if kind in TYPE_WIDTH or not kind and values and \
            all(re.fullmatch(r'[-+0-9.eE]+', v) for v in values) else list(values)
        return
    arr = node.arrays.setdefault(base, {'size': None, 'chunks': []})
    if '-s' in flags:
        size = int(flags['-s'])
        if arr['size'] not in (None, size):
            scene.problem(line, '%s.%s: size %d after size %d' % (node.name, base, size, arr['size']))
        arr['size'] = size
    if lo is None:
        if values:
            scene.problem(line, '%s.%s: values without an index range' % (node.name, base))
        return
    if hi is not None and hi == lo:
        scene.problem(line, '%s.%s[%s:%s]: one element written as a range (Maya writes [%s])' % (node.name, base, lo,
                                                                                               hi, lo))
    lo, hi = int(lo), int(hi if hi is not None else lo)
    if kind == 'polyFaces':
        entries = _poly_faces(values, scene, line)
    else:
        width = TYPE_WIDTH.get(kind) or WIDTH.get(base.rsplit('.', 1)[-1], 1)
        try:
            nums = [float(v) for v in values]
        except ValueError:
            return scene.problem(line, '%s.%s: non-numeric array values' % (node.name, base))
        if len(nums) % width:
            scene.problem(line, '%s.%s: %d numbers do not fill entries of %d' % (node.name, base, len(nums), width))
        entries = [nums[k:k + width] for k in range(0, len(nums) - width + 1, width)]
    if len(entries) != hi - lo + 1:
        scene.problem(line, '%s.%s[%d:%d] holds %d entries' % (node.name, base, lo, hi, len(entries)))
    arr['chunks'].append((lo, hi, entries, line))


def read(text):
    """Parse the text; the problems found are in scene.problems."""
    scene = Scene()
    lines = text.splitlines()
    if not lines or not lines[0].startswith('//Maya ASCII'):
        scene.problem(1, 'the file does not start with //Maya ASCII')
    if not lines or not lines[-1].startswith('// End of '):
        scene.problem(len(lines), 'the file does not end with // End of')
    body = re.sub(r'(?m)^//.*$', '', text)
    starts = [m.start() for m in re.finditer('\n', body)]
    statement, current, connecting = [], None, False
    for m in _TOKEN.finditer(body):
        tok = m.group(0)
        if tok != ';':
            statement.append(unescape(tok) if tok.startswith('"') else Word(tok))
            if len(statement) == 1:
                line = bisect.bisect_left(starts, m.start()) + 1
            continue
        if not statement:
            continue
        cmd, words, statement = statement[0], statement[1:], []
        try:
            if cmd == 'createNode':
                if connecting:
                    scene.problem(line, 'createNode after the first connectAttr')
                opts = {words[k]: words[k + 1] for k in range(1, len(words) - 1) if words[k] in ('-n', '-p')}
                name, parent = opts.get('-n'), opts.get('-p')
                if not name or not LEGAL_NAME.match(name):
                    scene.problem(line, 'illegal node name %r' % name)
                if name in scene.nodes:
                    scene.problem(line, 'node name %r used twice' % name)
                if parent is not None and (parent not in scene.nodes or scene.nodes[parent].type != 'transform'):
                    scene.problem(line, '%r: parent %r is not an earlier transform' % (name, parent))
                current = Node(words[0], name, parent, line)
                scene.nodes[name] = current
                scene.order.append(current)
            elif cmd == 'setAttr':
                _set_attr(scene, current, words, line)
            elif cmd == 'select':
                current = None
            elif cmd == 'parent':
                if connecting or words[:-2] != ['-r'] or any(w not in scene.nodes for w in words[-2:]):
                    scene.problem(line, 'unsupported or dangling parent command: %s' % ' '.join(words))
                else:
                    scene.nodes[words[-2]].parent = words[-1]
            elif cmd == 'connectAttr':
                connecting = True
                scene.connections.append((words[0], words[1], line))
                for plug in words[:2]:
                    if not plug.startswith(':') and plug.split('.')[0] not in scene.nodes:
                        scene.problem(line, 'connectAttr names a missing node: %s' % plug)
            elif cmd == 'currentUnit':
                scene.fps = FPS.get(dict(zip(words[::2], words[1::2])).get('-t'))
            elif cmd not in ('requires', 'fileInfo'):
                scene.problem(line, 'unexpected command %r' % cmd)
        except (IndexError, ValueError, AttributeError, TypeError):
            scene.problem(line, 'cannot read this %s statement' % cmd)
    if statement:
        scene.problem(len(lines), 'the last statement has no ;')
    if scene.fps is None:
        scene.problem(0, 'no currentUnit line with a known time unit')
    _check_dag(scene)
    _check_arrays(scene)
    for node in scene.order:
        if node.type == 'mesh':
            _check_mesh(scene, node)
        elif node.type == 'nurbsCurve':
            _check_nurbs_curve(scene, node)
    _check_curves(scene)
    _check_blend_shapes(scene)
    return scene


def _check_nurbs_curve(scene, node):
    curve = nurbs_curve(node)
    if curve is None:
        return scene.problem(node.line, '%s: its .cc is no nurbsCurve data' % node.name)
    degree, spans, points = curve['degree'], curve['spans'], curve['points']
    if len(curve['knots']) != spans + 2 * degree - 1 or len(points) != spans + degree:
        scene.problem(node.line, '%s: %d knots and %d points for %d spans of degree %d' %
                      (node.name, len(curve['knots']), len(points), spans, degree))
    elif curve['form'] == 2 and points[-degree:] != points[:degree]:
        scene.problem(node.line, '%s: a periodic curve whose last points do not repeat its first' % node.name)
    elif any(b < a for a, b in zip(curve['knots'], curve['knots'][1:])):
        scene.problem(node.line, '%s: knots that decrease' % node.name)


def _check_blend_shapes(scene):
    for blend in (n for n in scene.order if n.type == 'blendShape'):
        shapes = [dst.split('.')[0] for src, dst, _ in scene.connections if src == blend.name + '.og[0]']
        if len(shapes) != 1 or not shapes[0] in scene.nodes or scene.nodes[shapes[0]].type != 'mesh':
            scene.problem(blend.line, '%s: its output drives no one mesh' % blend.name)
            continue
        data = scene.mesh_data(shapes[0])
        if data.name == shapes[0] or data.attrs.get('io') != ['yes']:
            scene.problem(blend.line, '%s: its input is not an intermediate mesh' % blend.name)
        count = len(data.array('vt'))
        for k in range(len(blend.array('w'))):
            ipt = blend.attrs.get('it[0].itg[%d].iti[6000].ipt' % k)
            vertices, moves = blend_target(blend, k)
            if ipt is None or len(vertices) != len(moves) or len(ipt) != 1 + 4 * len(moves):
                scene.problem(blend.line, '%s: target %d has not one move per vertex listed' % (blend.name, k))
            elif any(not 0 <= v < count for v in vertices):
                scene.problem(blend.line, '%s: target %d moves a vertex outside the mesh' % (blend.name, k))


def _check_dag(scene):
    for node in scene.order:
        seen = {node.name}
        parent = node.parent
        while parent is not None and parent in scene.nodes:
            if parent in seen:
                scene.problem(node.line, '%r is its own ancestor' % node.name)
                break
            seen.add(parent)
            parent = scene.nodes[parent].parent
        shape = node.type in SHAPES or node.type.endswith('Light')
        if shape and not node.parent:
            scene.problem(node.line, 'shape %r has no transform parent' % node.name)
        if node.parent and not shape and node.type != 'transform':
            scene.problem(node.line, '%r is a %s, which takes no parent' % (node.name, node.type))
        if node.type == 'transform' and any(a in node.attrs for a in UNEVALUATED):
            scene.problem(node.line, '%r sets pivot or orient attributes this checker does not evaluate' % node.name)


def _check_arrays(scene):
    used = {}   # (node, array) -> indices referenced through element plugs
    # "shape.iog.og[2]" is instance 0's: the same array as setAttr's ".iog[0].og".
    plugs = [re.sub(r'\.iog\.', '.iog[0].', p) for c in scene.connections for p in c[:2]]
    plugs += ['%s.%s' % (n.name, a) for n in scene.order for a in n.attrs]
    for plug in plugs:
        for m in re.finditer(r'([A-Za-z_]\w*)\[(\d+)\]', plug.partition('.')[2]):
            base = plug.partition('.')[2][:m.start()] + m.group(1)
            used.setdefault((plug.partition('.')[0], base), set()).add(int(m.group(2)))
    for node in scene.order:
        for base, arr in node.arrays.items():
            size, where = arr['size'], '%s.%s' % (node.name, base)
            if not arr['chunks']:
                idx = used.get((node.name, base), set())
                if size is not None and (len(idx) != size or (idx and max(idx) >= size)):
                    scene.problem(0, '%s: size %d but elements %s are used' % (where, size, sorted(idx)))
                continue
            chunks = sorted(arr['chunks'])
            if size is None:
                scene.problem(chunks[0][3], '%s: no -s count' % where)
                continue
            expect = 0
            for lo, hi, _, line in chunks:
                if lo != expect or hi < lo:
                    scene.problem(line, '%s[%d:%d]: expected an index range starting at %d' % (where, lo, hi, expect))
                expect = hi + 1
            if expect != size:
                scene.problem(chunks[-1][3], '%s: ranges end at %d, -s says %d' % (where, expect, size))


def oriented_edge(edges, ref):
    """(start, end) vertices of a signed polyFaces edge reference, or None if it does not exist."""
    index = ref if ref >= 0 else -ref - 1
    if index >= len(edges) or edges[index] is None:
        return None
    return (int(edges[index][0]), int(edges[index][1]))[::1 if ref >= 0 else -1]


def face_vertices(edges, face):
    return [oriented_edge(edges, ref)[0] for ref in face['f']]


def _check_mesh(scene, mesh):
    name, nv = mesh.name, len(mesh.array('vt'))
    edges, faces = mesh.array('ed'), mesh.array('fc')
    pairs = set()
    for i, e in enumerate(edges):
        if e is None or not (0 <= e[0] < nv and 0 <= e[1] < nv) or e[0] == e[1] or e[2] not in (0, 1):
            scene.problem(mesh.line, '%s: edge %d %s is not two vertices below %d and a 0/1 flag' % (name, i, e, nv))
        elif frozenset(e[:2]) in pairs:
            scene.problem(mesh.line, '%s: edge %d repeats vertices %s' % (name, i, e[:2]))
        else:
            pairs.add(frozenset(e[:2]))
    sizes = {tag: {int(b[5:b.index(']')]): len(mesh.array(b)) for b in mesh.arrays if re.fullmatch(pattern, b)}
             for tag, pattern in (('mu', r'uvst\[\d+\]\.uvsp'), ('mc', r'clst\[\d+\]\.clsp'))}
    for f, face in enumerate(faces):
        if face is None:
            scene.problem(mesh.line, '%s: face %d missing' % (name, f))
            continue
        loop = [oriented_edge(edges, ref) for ref in face['f']]
        if len(loop) != 3 or None in loop:
            scene.problem(mesh.line, '%s: face %d edges %s are not three existing edges' % (name, f, face['f']))
        elif any(loop[k][1] != loop[(k + 1) % 3][0] for k in range(3)):
            scene.problem(mesh.line, '%s: face %d edges %s do not form a closed loop' % (name, f, face['f']))
        for tag in ('mu', 'mc'):
            for k, ids in face[tag].items():
                size = sizes[tag].get(k, 0)
                if len(ids) != len(face['f']) or any(not (0 <= i < size or (tag == 'mc' and i == -1)) for i in ids):
                    scene.problem(mesh.line, '%s: face %d %s %d %s outside its set' % (name, f, tag, k, ids))
    normals = mesh.array('n')
    if normals and len(normals) != 3 * len(faces):
        scene.problem(mesh.line, '%s: %d normals for %d faces' % (name, len(normals), len(faces)))


def _check_curves(scene):
    for src, dst, line in scene.connections:
        curve, target = src.partition('.')[0], dst.split('.')
        if curve in scene.nodes and scene.nodes[curve].type.startswith('animCurve'):
            driven = scene.nodes[target[0]].type if target[0] in scene.nodes else None
            driven = 'light' if driven and driven.endswith('Light') else driven
            channel = CURVE_TARGETS.get(driven, {}).get(scene.nodes[curve].type)
            scene.nodes[curve].scene_fps = scene.fps
            ok = src == curve + '.o' and len(target) == 2 and channel and re.fullmatch(channel, target[1])
            if not ok:
                scene.problem(line, '%s does not drive an attribute of its kind: %s' % (src, dst))
            elif (target[0], target[1]) in scene.drivers:
                scene.problem(line, '%s is driven twice' % dst)
            else:
                scene.drivers[(target[0], target[1])] = curve
    driving = set(scene.drivers.values())
    for node in scene.order:
        if not node.type.startswith('animCurve'):
            continue
        if node.name not in driving:
            scene.problem(node.line, 'curve %s drives nothing' % node.name)
        ks = keys(node)
        if not ks or any(t1 <= t0 for (t0, _), (t1, _) in zip(ks, ks[1:])):
            scene.problem(node.line, 'curve %s: key times do not strictly increase' % node.name)
        for tangent in ('kit', 'kot'):
            types = node.array(tangent)
            if types and len(types) != len(ks):
                scene.problem(node.line, 'curve %s: %d %s entries for %d keys' % (node.name, len(types), tangent,
                                                                                    len(ks)))
            fixed = [i for i, v in enumerate(types) if v and v[0] == 1]
            pair = ('kix', 'kiy') if tangent == 'kit' else ('kox', 'koy')
            if fixed and any(len(node.array(p)) <= max(fixed) for p in pair):
                scene.problem(node.line, 'curve %s: fixed tangents without %s/%s' % ((node.name,) + pair))


if __name__ == '__main__':
    found = ['%s: %s' % (path, p) for path in sys.argv[1:] for p in read(open(path, encoding='latin-1').read()).problems]
    print('\n'.join(found) or 'no problems')
    sys.exit(1 if found else 0)
