#!/usr/bin/env python3
"""Checks a generated ASE scene against the 3ds Max ASCII exporter's layout.

Usage: check_scene.py FILE [--crlf] [--target-bytes N]
Exits 1 and names the first offending line when a check fails.
"""
import math
import re
import sys

NUMBER = re.compile(r"-?\d+\.\d{4}$")
FACE = re.compile(r"\t\t\t\*MESH_FACE +(\d+):    A: +(\d+) B: +(\d+) C: +(\d+) AB: +(\d) BC: +(\d) CA: +(\d)"
                  r"\t \*MESH_SMOOTHING (\d+) \t\*MESH_MTLID (\d+)$")
KEY_GROUPS = ("*CONTROL_POS_BEZIER", "*CONTROL_ROT_TCB", "*CONTROL_SCALE_BEZIER")


class Failure(Exception):
    pass


def expect(condition, number, message):
    if not condition:
        raise Failure(f"line {number}: {message}")


def check_face(line, number, counts):
    match = FACE.match(line)
    expect(match, number, f"face line out of layout: {line!r}")
    values = [int(v) for v in match.groups()]
    # Rebuilding the line with %4d shows the padding is exactly the exporter's.
    rebuilt = ("\t\t\t*MESH_FACE %4d:    A: %4d B: %4d C: %4d AB: %4d BC: %4d CA: %4d"
               "\t *MESH_SMOOTHING %d \t*MESH_MTLID %d" % tuple(values))
    expect(rebuilt == line, number, "face numbers are not right-aligned in width 4")
    expect(values[0] == counts["faces_seen"], number, "faces are not numbered in order")
    expect(all(c < counts["vertices"] for c in values[1:4]), number, "face corner past MESH_NUMVERTEX")
    counts["faces_seen"] += 1


def check_numbers(fields, number):
    for field in fields[1:]:
        if "." in field and not field.startswith('"'):
            expect(NUMBER.match(field), number, f"number not in %.4f form: {field!r}")


def check_unit(values, number):
    size = math.sqrt(sum(v * v for v in values))
    expect(size == 0.0 or abs(size - 1.0) < 0.001, number, f"axis is not unit length: {values}")


def check_key(fields, number, group, last_time):
    time = int(fields[1])
    expect(time > last_time, number, "key times do not increase")
    values = [float(v) for v in fields[2:]]
    if group == "*CONTROL_ROT_TCB":
        expect(len(values) == 9, number, "rotation key needs axis, angle, T, C, B, ease in, ease out")
        check_unit(values[0:3], number)
        expect(0.0 <= values[3] <= math.pi, number, "angle outside 0..pi")
    else:
        expect(len(values) in (10, 14), number, "bezier key has the wrong number of values")
        expect(fields[-1].lstrip("-").isdigit(), number, "bezier key does not end with integer flags")
    return time


def check_lines(lines, crlf):
    ending = "\r\n" if crlf else "\n"
    expect(lines[0] == "*3DSMAX_ASCIIEXPORT\t200" + ending, 1, "bad export header")
    counts = {"vertices": 0, "tvertices": 0, "faces_seen": 0}
    depth = 0
    group, last_time, off_frame = None, -1, 0
    for number, raw in enumerate(lines, 1):
        expect(raw.endswith(ending) and "\r" not in raw[: -len(ending)], number, "mixed line endings")
        line = raw[: -len(ending)]
        fields = line.split()
        check_numbers(fields, number)
        key = fields[0] if fields else ""
        if key == "*MESH_NUMVERTEX":
            counts.update(vertices=int(fields[1]), faces_seen=0)
        elif key == "*MESH_NUMTVERTEX":
            counts["tvertices"] = int(fields[1])
        elif key == "*MESH_FACE":
            check_face(line, number, counts)
        elif key == "*MESH_TFACE":
            expect(all(int(c) < counts["tvertices"] for c in fields[2:5]), number, "texture corner past list")
        elif key == "*MESH_VERTEXNORMAL":
            expect(int(fields[1]) < counts["vertices"], number, "normal of a vertex past the list")
        elif key == "*TM_ROTAXIS":
            check_unit([float(v) for v in fields[1:4]], number)
        elif key in KEY_GROUPS:
            group, last_time = key, -1
        elif key.startswith("*CONTROL_") and key.endswith("_KEY"):
            last_time = check_key(fields, number, group, last_time)
            off_frame += last_time % 160 != 0
        depth += line.endswith("{") - (line.strip() == "}")
        expect(depth >= 0, number, "unbalanced braces")
    expect(depth == 0, len(lines), "unclosed block at the end")
    return off_frame


def main(argv):
    path = argv[1]
    crlf = "--crlf" in argv
    with open(path, "rb") as stream:
        data = stream.read()
    lines = data.decode("ascii").splitlines(keepends=True)
    try:
        off_frame = check_lines(lines, crlf)
        expect(off_frame > 0, len(lines), "no key lies between frames")
        if "--target-bytes" in argv:
            target = int(argv[argv.index("--target-bytes") + 1])
            expect(abs(len(data) - target) <= 0.03 * target, len(lines), f"size {len(data)} is not near {target}")
    except Failure as failure:
        print(f"{path}: {failure}", file=sys.stderr)
        return 1
    print(f"{path}: {len(lines)} lines, {len(data)} bytes, {off_frame} keys between frames: layout ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
