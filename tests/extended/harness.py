"""What the extended-mode tests share: configuration, the corpus, Maya names and a work folder.

KESTRUN_BINARY (the built converter) and KESTRUN_CORPUS (the folder of ASE files) come from
the environment, or from --binary/--corpus when a test file is run directly."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

WORK = tempfile.mkdtemp(prefix='kestrun_extended_')


# Scene cases (tests/data/extended) that hold what the checks read in full: each a well-formed
# scene whose every node the converter places as the file does.
CHECKED_CASES = ['animation_keys.ase', 'late_rotation.ase', 'big_turns.ase', 'vertex_normals.ase',
                 'groups_and_mirrors.ase', 'switch_parents.ase', 'material_maps.ase', 'shapes.ase',
                 'mesh_animation.ase', 'visibility.ase', 'animated_settings.ase']


def corpus():
    folder = os.environ.get('KESTRUN_CORPUS')
    if not folder or not os.environ.get('KESTRUN_BINARY'):
        raise RuntimeError('set KESTRUN_BINARY and KESTRUN_CORPUS (or pass --binary and --corpus)')
    return sorted(os.path.join(folder, f) for f in os.listdir(folder) if f.lower().endswith('.ase'))


def cases():
    """The checked scene cases, when KESTRUN_CASES (--cases) names their folder."""
    folder = os.environ.get('KESTRUN_CASES')
    return [os.path.join(folder, name) for name in CHECKED_CASES] if folder else []


def is_utf16(path):
    """The UTF-16 copies: Kestrun refuses them and assimp reads them as an empty scene."""
    with open(path, 'rb') as f:
        return f.read(2) in (b'\xff\xfe', b'\xfe\xff')


def maya_name(name):
    name = re.sub(r'[^A-Za-z0-9_]', '_', name)
    return '_' + name if name[:1].isdigit() else name


def convert(path, out, *flags):
    """Runs the converter in extended mode; the output text is read as latin-1 (empty when a failed
    run left no file)."""
    done = subprocess.run([os.environ['KESTRUN_BINARY'], path, out, '--extended', *flags],
                          capture_output=True, text=True, timeout=120)
    if done.returncode != 0 and not os.path.exists(out):
        return done, ''
    with open(out, encoding='latin-1') as f:
        return done, f.read()


def remove_work():
    shutil.rmtree(WORK, ignore_errors=True)


def main(before_tests=lambda: None):
    args = sys.argv[1:]
    for flag, var in (('--binary', 'KESTRUN_BINARY'), ('--corpus', 'KESTRUN_CORPUS'), ('--cases', 'KESTRUN_CASES')):
        if flag in args:
            os.environ[var] = args.pop(args.index(flag) + 1)
            args.remove(flag)
    before_tests()
    unittest.main(module='__main__', argv=[sys.argv[0]] + args)
