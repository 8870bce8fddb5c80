"""A node's local transform over time as 3ds Max plays back an ASE file's TM_ANIMATION, written
for the tests apart from the converter (row-vector 3x3 matrices, p' = p * M).

What the file says, and how it is read here:
- every rotation sample or key turns on from the one before (R_k = R_(k-1) * Rot(axis, angle)),
  the first from no rotation. A key's angle is the turn itself (720 degrees turn twice); a
  sample is a quaternion difference written as 0 to 360 degrees, so over 180 it is the short
  turn the other way;
- the exporter leaves out samples that repeat the one before: the value is held until one
  sampling step (the node's smallest gap between samples) before the next sample, and a
  rotation track that starts late holds no rotation from the first frame until then;
- between samples and between linear (and Bezier rotation) keys the value moves at a constant
  rate: a rotation turns about the later point's axis, a stretch along the node's own axes or a
  position goes straight; between Bezier (position, scale) and TCB keys, and between stretches
  along turned axes, the path is the controller's own, which this model does not follow
  (local() gives None there);
- a scale key stretches by its factors along the axes its axis-angle turns the node's to:
  U^-1 * K * U; a mirroring node is -1 times stretch times rotation (3ds Max's decomposition).
"""
import bisect
import math

from ase_reader import mul3, rot_row

IDENTITY3 = [[1.0, 0.0, 0.0], [0.0, 1.0, 0.0], [0.0, 0.0, 1.0]]


def transpose(m):
    return [list(row) for row in zip(*m)]


def det3(m):
    (a, b, c), (d, e, f), (g, h, i) = m
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g)


def inverse3(m):
    d = det3(m)
    cof = [[m[(j + 1) % 3][(i + 1) % 3] * m[(j + 2) % 3][(i + 2) % 3] -
            m[(j + 1) % 3][(i + 2) % 3] * m[(j + 2) % 3][(i + 1) % 3] for j in range(3)] for i in range(3)]
    return [[cof[i][j] / d for j in range(3)] for i in range(3)]


def inverse4(m):
    """Inverse of a 4x4 row-vector affine matrix."""
    inv = inverse3([row[:3] for row in m[:3]])
    t = [-sum(m[3][k] * inv[k][j] for k in range(3)) for j in range(3)]
    return [inv[0] + [0.0], inv[1] + [0.0], inv[2] + [0.0], t + [1.0]]


def polar_rotation(m):
    """The orthogonal factor of m's polar decomposition (Higham's iteration)."""
    q = [row[:] for row in m]
    for _ in range(100):
        inv_t = transpose(inverse3(q))
        nxt = [[(q[i][j] + inv_t[i][j]) / 2 for j in range(3)] for i in range(3)]
        done = max(abs(nxt[i][j] - q[i][j]) for i in range(3) for j in range(3)) < 1e-15
        q = nxt
        if done:
            break
    return q


def stretch(factors, axis, angle):
    u = rot_row(axis, angle) if any(axis) else IDENTITY3
    k = [[factors[i] if i == j else 0.0 for j in range(3)] for i in range(3)]
    return mul3(mul3(transpose(u), k), u)


def aligned(m):
    """True if a stretch is along the node's own axes (its off-diagonal entries are nothing)."""
    return all(abs(m[i][j]) < 1e-6 * max(abs(m[k][k]) for k in range(3)) for i in range(3) for j in range(3) if i != j)


def lerp3(a, b, s):
    return [[a[i][j] + (b[i][j] - a[i][j]) * s for j in range(3)] for i in range(3)]


class Channel:
    """Points (tick, value, how to get there from the point before) of one track."""

    def __init__(self, kind, points):
        self.kind, self.points = kind, points
        self.ticks = [p[0] for p in points]

    def at(self, tick, between):
        """The value at a tick: exact at points, held outside them, between(a, b, s) between."""
        i = bisect.bisect_right(self.ticks, tick + 1e-9)
        if i == 0 or i == len(self.points) or abs(self.ticks[i - 1] - tick) < 1e-9:
            return self.points[max(i - 1, 0)][1]
        a, b = self.points[i - 1], self.points[i]
        smooth = b[2] is None
        return None if smooth else between(a, b, (tick - a[0]) / (b[0] - a[0]))


def _with_holds(track, values, step, moves):
    """Points of a track: each key's value, and for samples after a gap a hold one step before.
    moves(key) says how the value gets to a key from the point before (None: a curve of the
    controller's own)."""
    points = []
    for i, (tick, nums) in enumerate(track.keys):
        if track.kind == 'sample' and i and tick - track.keys[i - 1][0] > step:
            points.append((tick - step, points[-1][1], 'hold'))
        points.append((tick, values[i], moves(track.keys[i])))
    return points


class Motion:
    def __init__(self, tracks, local, first_tick, ticks_per_frame):
        """tracks: {'pos'|'rot'|'scale': NS(kind, keys) or None}; local: the node's 4x4 local
        matrix (relative to its parent) at the static frame."""
        self.mirror = -1.0 if det3([r[:3] for r in local[:3]]) < 0 else 1.0
        unmirrored = [[self.mirror * x for x in row[:3]] for row in local[:3]]
        self.rotation = polar_rotation(unmirrored)
        self.stretch = mul3(unmirrored, transpose(self.rotation))
        self.translation = local[3][:3]
        gaps = [b[0] - a[0] for t in tracks.values() if t and t.kind == 'sample' for a, b in zip(t.keys, t.keys[1:])]
        self.step = min(gaps) if gaps else ticks_per_frame
        self.channels = {}
        pos, rot, scale = tracks.get('pos'), tracks.get('rot'), tracks.get('scale')
        straight = lambda t: lambda key: None if t.kind in ('tcb', 'bezier') else 'straight'
        if pos:
            self.channels['pos'] = Channel(pos.kind, _with_holds(pos, [n[:3] for _, n in pos.keys], self.step,
                                                                 straight(pos)))
        if scale:
            values = [stretch(n[:3], n[3:6], n[6]) for _, n in scale.keys]
            self.channels['scale'] = Channel(scale.kind, _with_holds(scale, values, self.step, straight(scale)))
        if rot:
            self.channels['rot'] = Channel(rot.kind, self._turns(rot, first_tick))

    def _turns(self, rot, first_tick):
        points, r = [], IDENTITY3
        if rot.kind == 'sample' and rot.keys[0][0] > first_tick:
            points.append((first_tick, IDENTITY3, (0.0, 0.0, 1.0, 0.0)))
            if rot.keys[0][0] - self.step > first_tick:
                points.append((rot.keys[0][0] - self.step, IDENTITY3, (0.0, 0.0, 1.0, 0.0)))
        for i, (tick, (ax, ay, az, angle, *_)) in enumerate(rot.keys):
            if rot.kind == 'sample':
                if i and tick - rot.keys[i - 1][0] > self.step:
                    points.append((tick - self.step, r, (0.0, 0.0, 1.0, 0.0)))
                angle = math.remainder(angle, 2 * math.pi)
            r = mul3(r, rot_row((ax, ay, az), angle))
            points.append((tick, r, None if rot.kind == 'tcb' else (ax, ay, az, angle)))
        return points

    def _rotation_at(self, tick):
        channel = self.channels.get('rot')
        if not channel:
            return self.rotation
        turn = lambda a, b, s: mul3(a[1], rot_row(b[2][:3], b[2][3] * s))
        return channel.at(tick, turn)

    def local(self, tick):
        """(translation, 3x3 matrix) at a tick; either is None where the file's controller
        follows a curve of its own between keys."""
        pos, scale = self.channels.get('pos'), self.channels.get('scale')
        t = pos.at(tick, lambda a, b, s: [x + (y - x) * s for x, y in zip(a[1], b[1])]) if pos else self.translation
        k = scale.at(tick, lambda a, b, s: lerp3(a[1], b[1], s) if aligned(a[1]) and aligned(b[1]) else None) \
            if scale else self.stretch
        r = self._rotation_at(tick)
        m = None if k is None or r is None else [[self.mirror * x for x in row] for row in mul3(k, r)]
        return t, m

    def key_ticks(self):
        return sorted({p[0] for c in self.channels.values() for p in c.points})

    def sampled_only(self):
        """True if every track is sampled: between samples the motion is a guess."""
        return all(c.kind == 'sample' for c in self.channels.values())


def float_value(track, tick):
    """A float controller's value at a tick (a visibility track), as 3ds Max plays it back: held
    outside its keys; straight between samples and linear keys; along Bezier keys' tangents (value
    per tick; the key's flags, bits 7-9 in and 10-12 out, say 1 straight or 2 held), and for TCB
    keys with tangents across the neighbouring keys (a Catmull-Rom spline in time; tension,
    continuity and bias aside)."""
    keys = track.keys
    times = [t for t, _ in keys]
    if tick <= times[0]:
        return keys[0][1][0]
    if tick >= times[-1]:
        return keys[-1][1][0]
    i = bisect.bisect_right(times, tick) - 1
    (t0, a), (t1, b) = keys[i], keys[i + 1]
    v0, v1, length = a[0], b[0], t1 - t0
    s = (tick - t0) / length
    m0 = m1 = v1 - v0
    if track.kind == 'bezier':
        out_type, in_type = (int(a[3]) >> 10) & 7, (int(b[3]) >> 7) & 7
        if out_type == 2:
            return v0
        m0 = m0 if out_type == 1 else a[2] * length
        m1 = m1 if in_type == 1 else b[1] * length
    elif track.kind == 'tcb':
        def slope(k):
            lo, hi = max(k - 1, 0), min(k + 1, len(keys) - 1)
            return (keys[hi][1][0] - keys[lo][1][0]) / (times[hi] - times[lo])
        m0, m1 = slope(i) * length, slope(i + 1) * length
    return (2 * s ** 3 - 3 * s ** 2 + 1) * v0 + (s ** 3 - 2 * s ** 2 + s) * m0 + (-2 * s ** 3 + 3 * s ** 2) * v1 + \
        (s ** 3 - s ** 2) * m1
