"""Converts 3ds Max ASE text scenes into Maya ASCII scenes.

    import kestrun
    result = kestrun.convert("in.ase", "out.ma", extended=True)

`python3 -m kestrun` converts files and whole folders (see kestrun.batch).
"""

from ._kestrun import Counts, Error, Result, ResultCode, __version__, convert, convert_text

__all__ = ["Counts", "Error", "Result", "ResultCode", "__version__", "convert", "convert_text"]
