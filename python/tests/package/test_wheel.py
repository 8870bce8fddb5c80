"""The package as users install it, offline, from Debian's packages: a wheel
built with `python3 -m build --wheel --no-isolation` installs into a fresh
venv and converts; `pip install --no-build-isolation ./python` into a venv
that sees Debian's setuptools, pybind11 and tqdm gives `python3 -m kestrun`.

Both build from a copy of the repository's sources, so the checkout stays
clean. Run by CTest (python.package) with the interpreter of the build."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

SOURCE = Path(os.environ.get("KESTRUN_SOURCE_DIR", Path(__file__).resolve().parents[3]))
EXAMPLE = SOURCE / "examples" / "box_scene.ase"
BINARY = os.environ.get("KESTRUN_BINARY")


def without_date(output):
    return re.sub(rb"(?m)^//Last modified:[^\n]*\n", b"", output, count=1)


def run(*command, cwd=None):
    result = subprocess.run([str(c) for c in command], cwd=cwd, capture_output=True, text=True, timeout=900,
                            env={k: v for k, v in os.environ.items() if k != "PYTHONPATH"})
    if result.returncode != 0:
        raise AssertionError(f"{' '.join(map(str, command))} failed:\n{result.stdout}\n{result.stderr}")
    return result


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls._directory = tempfile.TemporaryDirectory(prefix="kestrun-package-")
        cls.directory = Path(cls._directory.name)
        cls.tree = cls.directory / "kestrun"
        ignore = shutil.ignore_patterns("build", "dist", "*.egg-info", "__pycache__")
        for part in ("python", "src", "include"):
            shutil.copytree(SOURCE / part, cls.tree / part, ignore=ignore)
        shutil.copy(SOURCE / "CMakeLists.txt", cls.tree)

    @classmethod
    def tearDownClass(cls):
        cls._directory.cleanup()

    def test_the_wheel_installs_into_a_fresh_venv_with_its_type_stubs(self):
        dist = self.directory / "dist"
        run(sys.executable, "-m", "build", "--wheel", "--no-isolation", "--outdir", dist, self.tree / "python")
        (wheel,) = dist.glob("kestrun-*.whl")
        names = zipfile.ZipFile(wheel).namelist()
        for name in ("kestrun/__init__.py", "kestrun/__main__.py", "kestrun/batch.py", "kestrun/py.typed",
                     "kestrun/_kestrun.pyi"):
            self.assertIn(name, names)
        self.assertTrue(any(n.startswith("kestrun/_kestrun.") and n.endswith(".so") for n in names), names)
        venv = self.directory / "fresh"
        run(sys.executable, "-m", "venv", venv)
        # tqdm draws the batch command's bar only; a fresh venv offline has none.
        run(venv / "bin" / "pip", "install", "--no-index", "--no-deps", wheel)
        out = self.directory / "fresh.ma"
        converted = run(venv / "bin" / "python", "-c",
                        "import sys, kestrun; r = kestrun.convert(sys.argv[1], sys.argv[2], extended=True); "
                        "print(kestrun.__file__, r.counts.meshes)", EXAMPLE, out, cwd=self.directory)
        location, meshes = converted.stdout.split()
        self.assertTrue(location.startswith(str(venv)), location)
        self.assertEqual(meshes, "1")
        self.assertTrue(out.read_bytes().startswith(b"//Maya ASCII 8.5 scene\n"))

    def test_pip_installs_the_folder_and_python_m_kestrun_converts(self):
        venv = self.directory / "system"
        run(sys.executable, "-m", "venv", "--system-site-packages", venv)
        run(venv / "bin" / "pip", "install", "--no-index", "--no-build-isolation", self.tree / "python")
        output = self.directory / "out" / "box_scene.ma"
        batch = run(venv / "bin" / "python", "-m", "kestrun", EXAMPLE, output.parent, "--extended")
        self.assertRegex(batch.stdout, r"^Converted 1 of 1 scenes into ")
        if BINARY:  # The command line's bytes, from the package pip built.
            expected = self.directory / "cli" / "box_scene.ma"
            expected.parent.mkdir()
            run(BINARY, EXAMPLE, expected, "--extended")
            self.assertEqual(without_date(output.read_bytes()),
                             without_date(expected.read_bytes()).replace(b"/cli/", b"/out/"))


if __name__ == "__main__":
    unittest.main()
