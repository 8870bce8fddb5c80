#!/usr/bin/env python3
"""Checks a generated ASE scene against the 3ds Max ASCII exporter's layout.

Usage: check_scene.py FILE [--crlf] [--sampled] [--nodes OBJECTS,LIGHTS,CAMERAS] [--target-bytes N]
Exits 1 and names the first offending line when a check fails.
"""
import math
import re
import sys
from collections import Counter

NUMBER = re.compile(r"-?\d+\.\d{4}$")
VALUE = re.compile(r"-?\d+(\.\d+)?$")
FACE = re.compile(r"\t\t\t\*MESH_FACE +(\d+): +A: +(\d+) B: +(\d+) C: +(\d+) AB: +1 BC: +(\d) CA: +(\d)"
                  r"\t \*MESH_SMOOTHING 1 \t\*MESH_MTLID (\d)$")
SCALE_SAMPLE = re.compile(r"\t\t\t\*CONTROL_SCALE_SAMPLE \d+(\t\S+){2}\t\S+ \S+(\t\S+){3}$")
# Values after the time on each key or sample line of a group.
GROUPS = {"*CONTROL_POS_BEZIER": 10, "*CONTROL_ROT_TCB": 9, "*CONTROL_SCALE_BEZIER": 14,
          "*CONTROL_POS_TRACK": 3, "*CONTROL_ROT_TRACK": 4, "*CONTROL_SCALE_TRACK": 7}


class Failure(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


def near(a, b, tolerance):
    return len(a) == len(b) and all(abs(x - y) <= tolerance for x, y in zip(a, b))


def unit(v):
    size = math.sqrt(sum(x * x for x in v))
    return [x / size for x in v]


def rotation_rows(axis, angle):
    x, y, z = axis
    c, s = math.cos(angle), math.sin(angle)
    t = 1 - c
    return [[c + x * x * t, x * y * t - z * s, x * z * t + y * s],
            [y * x * t + z * s, c + y * y * t, y * z * t - x * s],
            [z * x * t - y * s, z * y * t + x * s, c + z * z * t]]


def check_mesh(mesh):
    """A closed, consistently wound surface whose normals fit its printed points."""
    points, faces = mesh["*MESH_VERTEX"], mesh["*MESH_FACE"]
    expect(len(points) == mesh["*MESH_NUMVERTEX"] == mesh["*MESH_NUMTVERTEX"] == len(mesh["*MESH_TVERT"]),
           "vertex and texture vertex counts differ")
    expect(len(faces) == 2 * len(points) == mesh["*MESH_NUMFACES"], "faces are not twice the vertices")
    expect(mesh["*MESH_TFACE"] == faces, "texture faces differ from the faces")
    # u is index / vertices: printed as Python's %.4f, which rounds the exact value as C's printf does.
    expect(all("%.4f" % (i / len(points)) == u for i, u in enumerate(mesh["u"])), "u is not index / vertices")
    edges = {(f[i], f[(i + 1) % 3]) for f in faces for i in range(3)}
    expect(len(edges) == 3 * len(faces) and all((b, a) in edges for a, b in edges), "surface is not closed")
    uses = Counter(v for f in faces for v in f)
    expect(sorted(uses) == list(range(len(points))) and set(uses.values()) == {6}, "a vertex is not in six faces")
    around = [[0.0] * 3 for _ in points]
    for face, (normal, corners) in enumerate(zip(mesh["*MESH_FACENORMAL"], mesh["*MESH_VERTEXNORMAL"])):
        a, b, c = (points[v] for v in faces[face])
        ab, ac = [q - p for p, q in zip(a, b)], [q - p for p, q in zip(a, c)]
        expected = unit([ab[1] * ac[2] - ab[2] * ac[1], ab[2] * ac[0] - ab[0] * ac[2], ab[0] * ac[1] - ab[1] * ac[0]])
        expect(near(normal, expected, 2e-3), f"face {face}: normal {normal} is not {expected}")
        expect([v for v, _ in corners] == faces[face], f"face {face}: vertex normals not of its corners")
        for v in faces[face]:
            around[v] = [s + n for s, n in zip(around[v], normal)]
    for face, corners in enumerate(mesh["*MESH_VERTEXNORMAL"]):
        for v, normal in corners:
            expect(near(normal, unit(around[v]), 2e-3), f"face {face}: vertex {v} normal is not the faces' mean")


def check_track(group, rows, node, last_tick, seen):
    times = [t for t, _ in rows]
    expect(times[0] == 0 and times[-1] == last_tick and times == sorted(set(times)), f"{group}: bad times {times}")
    if group in ("*CONTROL_POS_BEZIER", "*CONTROL_POS_TRACK"):
        expect(near(rows[0][1][:3], node["*TM_POS"], 1e-4), f"{group}: does not start at the node")
    if group.endswith("_TRACK"):
        steps = [(b - a) / 160 for a, b in zip(times, times[1:])]
        expect(all(s == int(s) and 1 <= s <= 10 for s in steps), f"{group}: samples not on frames, or gap > 10")
        seen["gaps"] += sum(s > 1 for s in steps)
    else:
        seen["off frame"] += sum(t % 160 != 0 for t in times)
    if group == "*CONTROL_ROT_TRACK":
        expect(rows[0][1] == node["*TM_ROTAXIS"] + node["*TM_ROTANGLE"], "first rotation is not the node's")
        expect(all(0 < v[3] < 0.1 for _, v in rows[1:]), "a later rotation sample is not a small turn")
    if group == "*CONTROL_SCALE_TRACK":
        expect(rows[0][1] == [1, 1, 1, 0, 0, 0, 0], "first scale sample is not the node's")
    seen["steps"] += len(rows) - 1
    if group in ("*CONTROL_ROT_TCB", "*CONTROL_ROT_TRACK"):
        seen["turns"] += len(rows) - 1
        expect(all(abs(math.hypot(*v[:3]) - 1) < 1e-3 for _, v in rows), f"{group}: axis is not unit length")
        seen["-0.0000"] += sum(x == 0 and math.copysign(1, x) < 0 for _, v in rows for x in v[:3])


def check_lines(lines, sampled):
    stack, nodes, names, animated, seen = [], {}, [], [], Counter()
    node = mesh = rows = None
    last_tick = 0
    for number, line in enumerate(lines, 1):
        try:
            fields = line.split()
            key = fields[0] if fields else ""
            expect(all(NUMBER.match(f) for f in fields[1:] if "." in f and '"' not in f), "number not in %.4f form")
            values = [float(f) if "." in f else int(f) for f in fields[1:] if VALUE.match(f)]
            if line.endswith("{"):
                stack.append(key)
                if key in GROUPS:
                    expect(key.endswith("_TRACK") == sampled, f"{key} in a {'' if sampled else 'not '}sampled scene")
                    rows = []
                elif key == "*MESH":
                    mesh = {k: [] for k in ("*MESH_VERTEX", "*MESH_FACE", "*MESH_TVERT", "u", "*MESH_TFACE",
                                            "*MESH_FACENORMAL", "*MESH_VERTEXNORMAL")}
            elif line.strip() == "}":
                expect(stack, "unbalanced braces")
                block = stack.pop()
                if block in GROUPS:
                    check_track(block, rows, nodes[node], last_tick, seen)
                elif block == "*MESH":
                    check_mesh(mesh)
                elif block == "*NODE_TM":
                    tm = nodes[node]
                    expect(tm["*TM_ROW3"] == tm["*TM_POS"], "TM_ROW3 is not TM_POS")
                    expected = rotation_rows(tm["*TM_ROTAXIS"], tm["*TM_ROTANGLE"][0])
                    expect(near(tm["*TM_ROW0"] + tm["*TM_ROW1"] + tm["*TM_ROW2"], sum(expected, []), 1e-3),
                           "TM rows do not turn by TM_ROTAXIS and TM_ROTANGLE")
            elif key == "*NODE_NAME":
                node = fields[1].strip('"')
                if stack[-1] == "*NODE_TM":
                    nodes[node] = {}
                else:
                    (animated if stack[-1] == "*TM_ANIMATION" else names).append((stack[-1], node))
            elif key == "*SCENE_LASTFRAME":
                last_tick = values[0] * 160
            elif stack and stack[-1] == "*NODE_TM":
                nodes[node][key] = values
            elif key == "*MESH_FACE":
                match = FACE.match(line)
                expect(match, "face line out of layout")
                numbers = [int(v) for v in match.groups()]
                # Rebuilding the line with %4d shows the padding is exactly the exporter's.
                expect(line == "\t\t\t*MESH_FACE %4d:    A: %4d B: %4d C: %4d AB:    1 BC: %4d CA: %4d\t "
                       "*MESH_SMOOTHING 1 \t*MESH_MTLID %d" % tuple(numbers), "face numbers are not %4d")
                expect(numbers[0] == len(mesh[key]), "faces are not numbered in order")
                mesh[key].append(numbers[1:4])
            elif key in ("*MESH_VERTEX", "*MESH_TVERT", "*MESH_TFACE", "*MESH_FACENORMAL"):
                if key == "*MESH_TVERT":
                    mesh["u"].append(fields[2])
                expect(values[0] == len(mesh[key]), f"{key} lines are not numbered in order")
                mesh[key].append(values[1:])
                if key == "*MESH_FACENORMAL":
                    mesh["*MESH_VERTEXNORMAL"].append([])
            elif key == "*MESH_VERTEXNORMAL":
                mesh[key][-1].append((values[0], values[1:]))
            elif key.startswith("*MESH_NUM"):
                mesh[key] = values[0]
            elif stack and stack[-1] in GROUPS:
                expect(len(values) == GROUPS[stack[-1]] + 1, f"{key}: wrong number of values")
                expect(stack[-1] != "*CONTROL_SCALE_TRACK" or SCALE_SAMPLE.match(line), "scale sample layout")
                expect("BEZIER" not in stack[-1] or isinstance(values[-1], int), "bezier key without integer flags")
                rows.append((values[0], values[1:]))
        except Failure as failure:
            raise Failure(f"line {number}: {failure}") from None
    expect(not stack, "unclosed block at the end")
    # Each of these is all but certain over a hundred keys or samples.
    if seen["steps"] >= 100:
        expect(seen["gaps" if sampled else "off frame"] > 0, "no sample gaps" if sampled else "no key between frames")
    if seen["turns"] >= 100:  # turns about a coordinate axis: near-zero axis parts, some negative
        expect(seen["-0.0000"] > 0, 'no "-0.0000": negative values that round to zero lost their sign')
    return names, list(nodes), [n for _, n in animated], last_tick


def main(argv):
    path, options = argv[1], argv[2:]
    with open(path, "rb") as stream:
        data = stream.read()
    text = data.decode("ascii")
    ending = "\r\n" if "--crlf" in options else "\n"
    try:
        expect(text.endswith(ending) and text.count("\n") == text.count(ending) and
               text.count("\r") == text.count(ending) * (ending == "\r\n"), "line ends are not all " + repr(ending))
        lines = text[: -len(ending)].split(ending)
        expect(lines[0] == "*3DSMAX_ASCIIEXPORT\t200", "bad export header")
        names, transforms, animated, last_tick = check_lines(lines, "--sampled" in options)
        if "--nodes" in options:
            counts = [int(n) for n in options[options.index("--nodes") + 1].split(",")]
            expected = ([("*GEOMOBJECT", "Object%03d" % (i + 1)) for i in range(counts[0])] +
                        [("*LIGHTOBJECT", "Spot%02d" % (i + 1)) for i in range(counts[1])] +
                        [("*CAMERAOBJECT", "Camera%02d" % (i + 1)) for i in range(counts[2])])
            expect(names == expected, f"nodes {names} are not {expected}")
            # Lights and cameras have a second NODE_TM and TM_ANIMATION for their target.
            with_targets = [m for kind, n in expected for m in ([n] if kind == "*GEOMOBJECT" else [n, n + ".Target"])]
            expect(transforms == with_targets, f"NODE_TMs {transforms} are not {with_targets}")
            expect(animated == with_targets or (not animated and last_tick == 0), "not one TM_ANIMATION per NODE_TM")
        if "--target-bytes" in options:
            target = int(options[options.index("--target-bytes") + 1])
            expect(abs(len(data) - target) <= 0.05 * target, f"size {len(data)} is not within 5% of {target}")
    except Failure as failure:
        print(f"{path}: {failure}", file=sys.stderr)
        return 1
    print(f"{path}: {len(lines)} lines, {len(data)} bytes: layout ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
