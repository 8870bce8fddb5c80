"""The compiled part of kestrun: the library's API (kestrun_module.cpp)."""

import os
from typing import ClassVar, List, Union

__version__: str

class ResultCode:
    """How a conversion ended, numbered as the command line's messages."""

    ok: ClassVar[ResultCode]  # 0
    usage: ClassVar[ResultCode]  # 1
    conversion_failed: ClassVar[ResultCode]  # 4
    not_ase_text: ClassVar[ResultCode]  # 5
    output_open: ClassVar[ResultCode]  # 6
    input_open: ClassVar[ResultCode]  # 7
    output_write: ClassVar[ResultCode]  # 8
    input_read: ClassVar[ResultCode]  # 9
    def __init__(self, value: int) -> None: ...
    def __int__(self) -> int: ...
    def __index__(self) -> int: ...
    @property
    def name(self) -> str: ...
    @property
    def value(self) -> int: ...

class Counts:
    @property
    def objects(self) -> int: ...
    @property
    def meshes(self) -> int: ...
    @property
    def lights(self) -> int: ...
    @property
    def cameras(self) -> int: ...
    @property
    def materials(self) -> int: ...
    @property
    def animation_curves(self) -> int: ...
    @property
    def first_frame(self) -> int: ...
    @property
    def last_frame(self) -> int: ...

class Result:
    @property
    def code(self) -> ResultCode: ...
    @property
    def message(self) -> str: ...
    @property
    def warnings(self) -> List[str]: ...
    @property
    def counts(self) -> Counts: ...
    @property
    def output(self) -> bytes:
        """convert_text only: the Maya ASCII text."""
    @property
    def ok(self) -> bool: ...
    @property
    def exit_status(self) -> int: ...

class Error(RuntimeError):
    """A failed conversion."""

    code: ResultCode
    message: str
    result: Result

_Path = Union[str, "os.PathLike[str]"]

def convert(
    input: _Path,
    output: _Path,
    *,
    geometry: bool = True,
    animation: bool = True,
    lights: bool = True,
    cameras: bool = True,
    scene: bool = True,
    extended: bool = False,
    z_up: bool = False,
    verbose: bool = False,
) -> Result:
    """Converts the ASE file `input` into the Maya ASCII file `output`; raises Error on failure."""

def convert_text(
    text: Union[str, bytes],
    *,
    geometry: bool = True,
    animation: bool = True,
    lights: bool = True,
    cameras: bool = True,
    scene: bool = True,
    extended: bool = False,
    z_up: bool = False,
    input_name: str = "input.ase",
    output_name: str = "output.ma",
) -> Result:
    """Converts the ASE scene `text`; the result's `output` holds the Maya ASCII bytes."""
