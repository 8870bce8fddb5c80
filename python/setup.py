"""Builds the extension kestrun._kestrun from the library's own sources (the
layers under ../src, the public header under ../include) and the bindings in
kestrun_module.cpp, with the flags the CMake build gives them: C++20, no fused
multiply-add (rounding is part of the output), hidden symbols."""

import os
import re
from pathlib import Path

from pybind11.setup_helpers import Pybind11Extension
from setuptools import setup
from setuptools.command.build_ext import build_ext

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent
VERSION = re.search(r"project\(Kestrun VERSION ([0-9.]+)", (ROOT / "CMakeLists.txt").read_text()).group(1)
# Everything but the command line's own layer; setuptools takes relative paths only.
SOURCES = sorted(os.path.relpath(path, HERE) for path in (ROOT / "src").glob("*/*.cpp") if path.parent.name != "cli")
GENERATED = HERE / "build" / "generated"


def write_version_header():
    template = (ROOT / "src" / "base" / "version.h.in").read_text()
    header = GENERATED / "base" / "version.h"
    header.parent.mkdir(parents=True, exist_ok=True)
    text = template.replace("@PROJECT_VERSION@", VERSION)
    if not header.exists() or header.read_text() != text:
        header.write_text(text)


class BuildExtension(build_ext):
    """Compiles the sources on every core."""

    def initialize_options(self):
        super().initialize_options()
        self.parallel = os.cpu_count() or 1

    def run(self):
        write_version_header()
        super().run()


extension = Pybind11Extension(
    "kestrun._kestrun",
    ["kestrun_module.cpp"] + SOURCES,
    include_dirs=[str(ROOT / "src"), str(ROOT / "include"), str(GENERATED)],
    cxx_std=20,
    extra_compile_args=["-ffp-contract=off", "-fvisibility=hidden", "-fvisibility-inlines-hidden", "-O2"],
    extra_link_args=["-pthread"],
)

setup(version=VERSION, ext_modules=[extension], cmdclass={"build_ext": BuildExtension})
