"""A small ASE reader for the extended-mode tests, written apart from the converter.

It keeps what the tests compare: scene timing, materials (with every map slot), the object tree
with world NODE_TMs, meshes (world vertices, UVs, colours, object-space normals per corner) and
the meshes of MESH_ANIMATION at their times, the polylines of shapes, the TM_ANIMATION tracks,
visibility tracks, camera and light settings at their times, and the PROP_ lines. Matrices are
3ds Max row-vector matrices: p' = p * M.
"""
import math
import re
from types import SimpleNamespace as NS

_TOKEN = re.compile(r'"[^"]*"|[{}]|[^\s{}]+')


def _tree(text):
    root = NS(tok='ROOT', args=[], kids=[])
    stack, cur = [root], None
    for line in text.splitlines():
        for t in _TOKEN.findall(line):
            if t == '{':
                cur.kids = []
                stack.append(cur)
                cur = None
            elif t == '}':
                stack.pop()
                cur = None
            elif t.startswith('*'):
                cur = NS(tok=t[1:], args=[], kids=None)
                stack[-1].kids.append(cur)
            elif cur is not None:
                cur.args.append(t[1:-1] if t.startswith('"') else t)
    return root


def _all(node, tok):
    return [k for k in node.kids or [] if k.tok == tok]


def _one(node, tok):
    found = _all(node, tok)
    return found[0] if found else None


def _nums(node, start=0):
    return [float(a) for a in node.args[start:]]


def rot_row(axis, angle):
    """Row-vector matrix of an ASE angle-axis rotation: Rodrigues' column form for +angle."""
    n = math.sqrt(sum(c * c for c in axis)) or 1.0
    x, y, z = (c / n for c in axis)
    c, s, t = math.cos(angle), math.sin(angle), 1 - math.cos(angle)
    return [[t * x * x + c, t * x * y - s * z, t * x * z + s * y],
            [t * x * y + s * z, t * y * y + c, t * y * z - s * x],
            [t * x * z - s * y, t * y * z + s * x, t * z * z + c]]


def mul3(a, b):
    return [[sum(a[i][k] * b[k][j] for k in range(3)) for j in range(3)] for i in range(3)]


def _tm(block):
    rows = [_nums(_one(block, 'TM_ROW%d' % i)) for i in range(4)]
    return [rows[0] + [0.0], rows[1] + [0.0], rows[2] + [0.0], rows[3] + [1.0]]


MAP_SLOTS = ('MAP_GENERIC', 'MAP_AMBIENT', 'MAP_DIFFUSE', 'MAP_SPECULAR', 'MAP_SHINE', 'MAP_SHINESTRENGTH',
             'MAP_SELFILLUM', 'MAP_OPACITY', 'MAP_FILTERCOLOR', 'MAP_BUMP', 'MAP_REFLECT', 'MAP_REFRACT')


def _map(block):
    """A material's map: its slot keyword, class, bitmap (None for other classes), amount, inversion."""
    cls = _one(block, 'MAP_CLASS')
    bitmap = _one(block, 'BITMAP')
    amount = _one(block, 'MAP_AMOUNT')
    return NS(slot=block.tok, cls=cls.args[0] if cls else None, bitmap=bitmap.args[0] if bitmap else None,
              amount=float(amount.args[0]) if amount else 1.0, invert=bool(_one(block, 'BITMAP_INVERT')))


def _material(block):
    value = lambda tok, default: _nums(_one(block, tok)) if _one(block, tok) else default
    m = NS(name=_one(block, 'MATERIAL_NAME').args[0], bitmap=None, subs=[],
           shading=_one(block, 'MATERIAL_SHADING').args[0] if _one(block, 'MATERIAL_SHADING') else '',
           two_sided=bool(_one(block, 'MATERIAL_TWOSIDED')), diffuse=value('MATERIAL_DIFFUSE', [0.8] * 3),
           ambient=value('MATERIAL_AMBIENT', [0.2] * 3), specular=value('MATERIAL_SPECULAR', [0.0] * 3),
           shine=value('MATERIAL_SHINE', [0.0])[0], level=value('MATERIAL_SHINESTRENGTH', [0.0])[0],
           transparency=value('MATERIAL_TRANSPARENCY', [0.0])[0], selfillum=value('MATERIAL_SELFILLUM', [0.0])[0])
    m.maps = {}   # slot -> the last map of that slot
    for k in block.kids or []:
        if k.tok in MAP_SLOTS:
            m.maps[k.tok] = _map(k)
    diffuse = m.maps.get('MAP_DIFFUSE')
    if diffuse and diffuse.bitmap and diffuse.cls == 'Bitmap':
        m.bitmap = diffuse.bitmap
    m.subs = [_material(s) for s in _all(block, 'SUBMATERIAL')]
    return m


def _indexed(block, tok, count):
    """{index: [numbers]} of `*TOK i a b c` lines."""
    return {int(k.args[0]): _nums(k, 1)[:count] for k in _all(block, tok)} if block else {}


def _mesh(block):
    mesh = NS(time=int(_one(block, 'TIMEVALUE').args[0]) if _one(block, 'TIMEVALUE') else 0)
    verts = _indexed(_one(block, 'MESH_VERTEX_LIST'), 'MESH_VERTEX', 3)
    mesh.verts = [verts[i] for i in range(len(verts))]
    mesh.faces, mesh.mtlids = [], []
    for f in _all(_one(block, 'MESH_FACE_LIST'), 'MESH_FACE'):
        a = f.args
        mesh.faces.append([int(a[a.index(c) + 1]) for c in ('A:', 'B:', 'C:')])
    mesh.mtlids = [int(k.args[0]) for k in _all(_one(block, 'MESH_FACE_LIST'), 'MESH_MTLID')]
    mesh.smoothing = []   # per face, group g as bit g - 1
    for k in _one(block, 'MESH_FACE_LIST').kids:
        if k.tok == 'MESH_FACE':
            mesh.smoothing.append(0)
        elif k.tok == 'MESH_SMOOTHING' and mesh.smoothing:
            mesh.smoothing[-1] = sum(1 << (int(g) - 1) for a in k.args for g in a.split(',') if g and int(g) > 0)
    tv = _indexed(_one(block, 'MESH_TVERTLIST'), 'MESH_TVERT', 2)
    mesh.tverts = [tv[i] for i in range(len(tv))]
    mesh.tfaces = [[int(x) for x in v] for v in _indexed(_one(block, 'MESH_TFACELIST'), 'MESH_TFACE', 3).values()]
    cv = _indexed(_one(block, 'MESH_CVERTLIST'), 'MESH_VERTCOL', 3)
    mesh.cverts = [cv[i] for i in range(len(cv))]
    mesh.cfaces = [[int(x) for x in v] for v in _indexed(_one(block, 'MESH_CFACELIST'), 'MESH_CFACE', 3).values()]
    mesh.normals = mesh.face_normals = None
    if _one(block, 'MESH_NORMALS'):
        mesh.normals, mesh.face_normals = _normals(_one(block, 'MESH_NORMALS'), mesh.faces)
    return mesh


def _normals(block, faces):
    """(corner normals [[A, B, C] per face], face normals) of MESH_NORMALS. Each
    MESH_VERTEXNORMAL names its vertex: those after a face's MESH_FACENORMAL are its corners' in
    any order; more than three after one face, or any before the first, are per-vertex normals
    (Q3Map2 writes all face normals, then one normal per vertex). Three that name none of their
    face's corners are taken in order. A corner without any is None."""
    groups, loose, current = {}, [], None
    for k in block.kids:
        if k.tok == 'MESH_FACENORMAL':
            current = groups[int(k.args[0])] = (_nums(k, 1), [])
        elif k.tok == 'MESH_VERTEXNORMAL':
            (current[1] if current else loose).append((int(k.args[0]), _nums(k, 1)))
    per_vertex = dict(loose)
    for _, records in groups.values():
        if len(records) > 3:
            per_vertex.update(records)
    corners, face_normals = [], []
    for f, face in enumerate(faces):
        normal, records = groups.get(f, (None, []))
        face_normals.append(normal)
        mine = dict(records) if len(records) <= 3 else {}
        got = [mine.get(v, per_vertex.get(v)) for v in face]
        if len(records) == 3 and None in got:
            unused = [n for v, n in records if v not in face]
            got = [g if g is not None else unused.pop(0) for g in got]
        corners.append(got)
    return corners, face_normals


# A channel's controller blocks: how its keys were made, and the lines that hold them.
CONTROLLERS = {
    'POS': {'CONTROL_POS_TRACK': ('sample', ['CONTROL_POS_SAMPLE']),
            'CONTROL_POS_LINEAR': ('linear', ['CONTROL_POS_KEY']),
            'CONTROL_POS_TCB': ('tcb', ['CONTROL_TCB_POS_KEY']),
            'CONTROL_POS_BEZIER': ('bezier', ['CONTROL_BEZIER_POS_KEY'])},
    'ROT': {'CONTROL_ROT_TRACK': ('sample', ['CONTROL_ROT_SAMPLE']),
            'CONTROL_ROT_LINEAR': ('linear', ['CONTROL_ROT_KEY']),
            'CONTROL_ROT_TCB': ('tcb', ['CONTROL_TCB_ROT_KEY']),
            'CONTROL_ROT_BEZIER': ('bezier', ['CONTROL_BEZIER_ROT_KEY', 'CONTROL_ROT_KEY'])},
    'SCALE': {'CONTROL_SCALE_TRACK': ('sample', ['CONTROL_SCALE_SAMPLE']),
              'CONTROL_SCALE_LINEAR': ('linear', ['CONTROL_SCALE_KEY']),
              'CONTROL_SCALE_TCB': ('tcb', ['CONTROL_TCB_SCALE_KEY']),
              'CONTROL_SCALE_BEZIER': ('bezier', ['CONTROL_BEZIER_SCALE_KEY'])},
}


def _track(anim, channel):
    """NS(kind, keys=[(tick, numbers)]) of a channel's controller, or None. Keys must come
    later than the one before: others are dropped."""
    for block in anim.kids or []:
        if block.tok in CONTROLLERS[channel]:
            kind, lines = CONTROLLERS[channel][block.tok]
            keys = []
            for k in block.kids or []:
                if k.tok in lines and (not keys or float(k.args[0]) > keys[-1][0]):
                    keys.append((float(k.args[0]), _nums(k, 1)))
            return NS(kind=kind, keys=keys) if keys else None
    return None


def _settings(block):
    return {k.tok: _nums(k) for k in block.kids or []}


def _timed(kids):
    """Meshes or settings at their times: each with a TIMEVALUE later than the one before."""
    kept = []
    for item, time in kids:
        if time is not None and (not kept or time > kept[-1][1]):
            kept.append((item, time))
    return kept


def _shape_line(block):
    points = [_nums(k, 1)[:3] for k in block.kids or [] if k.tok in ('SHAPE_VERTEX_KNOT', 'SHAPE_VERTEX_INTERP')]
    return NS(closed=bool(_one(block, 'SHAPE_CLOSED')), points=points)


FLOAT_CONTROLLERS = {'CONTROL_FLOAT_SAMPLE': ('sample', 'CONTROL_FLOAT_KEY'),
                     'CONTROL_FLOAT_LINEAR': ('linear', 'CONTROL_FLOAT_KEY'),
                     'CONTROL_FLOAT_TCB': ('tcb', 'CONTROL_TCB_FLOAT_KEY'),
                     'CONTROL_FLOAT_BEZIER': ('bezier', 'CONTROL_BEZIER_FLOAT_KEY')}


def _float_track(block):
    """NS(kind, keys=[(tick, [value, ...])]) of a float controller, later keys only; None if empty."""
    track = None
    for k in block.kids or []:
        if k.tok in FLOAT_CONTROLLERS:
            kind, line = FLOAT_CONTROLLERS[k.tok]
            keys = []
            for key in k.kids or []:
                if key.tok == line and (not keys or float(key.args[0]) > keys[-1][0]):
                    keys.append((float(key.args[0]), _nums(key, 1)))
            track = NS(kind=kind, keys=keys)
    return track if track and track.keys else None


def _object(block):
    obj = NS(kind=block.tok, name=_one(block, 'NODE_NAME').args[0], parent=None, mesh=None,
             material_ref=None, tms={}, tracks={}, settings={}, subtype=None, mesh_animation=[],
             shape_lines=[], visibility=None, animated_settings=[], props={})
    if _one(block, 'NODE_PARENT'):
        obj.parent = _one(block, 'NODE_PARENT').args[0]
    for tm in _all(block, 'NODE_TM'):
        obj.tms[_one(tm, 'NODE_NAME').args[0]] = _tm(tm)
    if _one(block, 'MESH'):
        obj.mesh = _mesh(_one(block, 'MESH'))
    if _one(block, 'MATERIAL_REF'):
        obj.material_ref = int(_one(block, 'MATERIAL_REF').args[0])
    for anim in _all(block, 'TM_ANIMATION'):
        obj.tracks[_one(anim, 'NODE_NAME').args[0]] = {k.lower(): _track(anim, k) for k in ('POS', 'ROT', 'SCALE')}
    settings = _one(block, 'CAMERA_SETTINGS') or _one(block, 'LIGHT_SETTINGS')
    if settings:
        obj.settings = {k.tok: _nums(k) for k in settings.kids if k.tok != 'TIMEVALUE'}
    animation = _one(block, 'MESH_ANIMATION')
    if animation:
        meshes = [(m, m.time if _one(k, 'TIMEVALUE') else None) for k in _all(animation, 'MESH') for m in [_mesh(k)]]
        obj.mesh_animation = [m for m, _ in _timed(meshes)]
    animation = _one(block, 'CAMERA_ANIMATION') or _one(block, 'LIGHT_ANIMATION')
    if animation:
        blocks = [_settings(k) for k in _all(animation, 'CAMERA_SETTINGS') + _all(animation, 'LIGHT_SETTINGS')]
        timed = _timed([(b, b['TIMEVALUE'][0] if 'TIMEVALUE' in b else None) for b in blocks])
        obj.animated_settings = [dict(obj.settings, **b) for b, _ in timed]   # what a block leaves out is static
    obj.shape_lines = [_shape_line(k) for k in _all(block, 'SHAPE_LINE')]
    if _one(block, 'NODE_VISIBILITY_TRACK'):
        obj.visibility = _float_track(_one(block, 'NODE_VISIBILITY_TRACK'))
    obj.props = {k.tok: int(k.args[0]) for k in block.kids if k.tok.startswith('PROP_')}
    kind = _one(block, 'CAMERA_TYPE') or _one(block, 'LIGHT_TYPE')
    obj.subtype = kind.args[0] if kind else None
    return obj


def _objects(kids):
    for k in kids:
        if k.tok in ('GEOMOBJECT', 'HELPEROBJECT', 'CAMERAOBJECT', 'LIGHTOBJECT', 'SHAPEOBJECT'):
            yield _object(k)
        elif k.tok == 'GROUP':
            yield from _objects(k.kids or [])


def read(path):
    """Parse an 8-bit ASE file into scene, materials and objects (file order)."""
    with open(path, 'rb') as f:
        root = _tree(f.read().decode('latin-1'))
    scene = _one(root, 'SCENE')
    info = {k.tok: k.args[0] for k in (scene.kids if scene else [])}
    ase = NS(fps=int(info.get('SCENE_FRAMESPEED', 30)), ticks=int(info.get('SCENE_TICKSPERFRAME', 160)),
             first=int(info.get('SCENE_FIRSTFRAME', 0)), last=int(info.get('SCENE_LASTFRAME', 100)))
    mlist = _one(root, 'MATERIAL_LIST')
    ase.materials = [_material(m) for m in _all(mlist, 'MATERIAL')] if mlist else []
    ase.objects = list(_objects(root.kids))
    return ase

