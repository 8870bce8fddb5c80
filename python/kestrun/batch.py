"""python3 -m kestrun: converts ASE files and whole folders into an output
folder that mirrors the input tree, on several threads (the library releases
the interpreter lock), with a progress bar and a summary at the end.

    python3 -m kestrun INPUT... OUTPUT_FOLDER [-u] [-g] [-a] [-l] [-c] [-s]
                       [--extended [--z-up]] [-j N] [--force] [--progress]

The switches and long options are the command line's. An output newer than
its input is skipped unless --force is given, so a rerun after a failure
converts only what is left. Each scene is converted in memory and written to
a hidden temporary file that is renamed into place once complete: a failure,
Ctrl-C or a crash never leaves a half-written .ma. The exit status is 0 only
if every scene converted (or was up to date), 130 after Ctrl-C.
"""

import concurrent.futures
import os
import sys
import tempfile
import time
from dataclasses import dataclass, field
from pathlib import Path
from typing import Callable, Dict, Iterable, List, Optional, Sequence, TextIO

from . import _kestrun

USAGE = """\
Usage: python3 -m kestrun <Input files or folders...> <Output folder> [-u] [-g] [-a] [-l] [-c] [-s]
                          [--extended [--z-up]] [-j N] [--force] [--progress]
       python3 -m kestrun -h | --help | --version

Converts every .ase file given, and every one under the folders given (in any
letter case), into a .ma file in the output folder, which mirrors the folders'
trees. With no switch everything is converted; with switches only what they
name (only their second character counts, in either case):
  -g  geometry and the scene timing      -a  animation keys, with geometry
  -l  lights                             -c  cameras
  -s  the scene timing                   -u  everything
  --extended     all the file holds, for Maya today (Maya 8.5 ASCII)
  --z-up         with --extended: keeps the file's Z-up axes
  -j N, --jobs N conversions at once (default: one for every core)
  --force        converts even where the output is newer than its input
  --progress     shows the progress bar even when standard error is no terminal
The exit status is 0 only if every scene converted or was up to date.
"""

SWITCHES = "ugalcsh"


def _umask() -> int:
    mask = os.umask(0)  # Read once, on import: setting it back and forth races other threads.
    os.umask(mask)
    return mask


UMASK = _umask()


class UsageError(Exception):
    """The arguments are not ones the command takes."""


@dataclass
class Arguments:
    inputs: List[Path] = field(default_factory=list)
    output: Path = Path(".")
    options: Dict[str, bool] = field(default_factory=dict)
    jobs: int = 0
    force: bool = False
    progress: bool = False
    action: str = "convert"  # or "help", "usage", "version"


def read_arguments(argv: Sequence[str]) -> Arguments:
    """Reads the arguments (without the program's name) as the command line
    reads its switches and long options."""
    if list(argv) in (["-h"], ["--help"], ["--version"]):
        return Arguments(action={"-h": "help", "--help": "usage", "--version": "version"}[argv[0]])
    arguments = Arguments()
    paths: List[str] = []
    letters = set()
    extended = z_up = False
    items = iter(argv)

    def next_item(option: str) -> str:
        """The argument after an option that needs a number there."""
        item = next(items, None)
        if item is None:
            raise UsageError(f"{option} needs a number")
        return item

    for argument in items:
        if argument.startswith("--"):
            name, _, value = argument.partition("=")
            if name == "--extended":
                extended = True
            elif name == "--z-up":
                z_up = True
            elif name == "--force":
                arguments.force = True
            elif name == "--progress":
                arguments.progress = True
            elif name == "--jobs":
                if not value:
                    value = next_item("--jobs")
                arguments.jobs = jobs_of(value)
            else:
                raise UsageError(f"Unrecognized parameter : {argument}")
        elif argument.startswith("-") and len(argument) > 1:
            letter = argument[1]
            if letter == "j":
                arguments.jobs = jobs_of(argument[2:] or next_item("-j"))
            elif letter.lower() in SWITCHES:
                letters.add(letter.lower())
            else:
                raise UsageError(f"Unrecognized parameter : -{letter}")
        else:
            paths.append(argument)
    if "h" in letters:
        arguments.action = "help"
        return arguments
    if len(paths) < 2:
        raise UsageError("Give the input files or folders, then the output folder")
    if z_up and not extended:
        raise UsageError("Parameter --z-up needs --extended")
    arguments.inputs = [Path(p) for p in paths[:-1]]
    arguments.output = Path(paths[-1])
    arguments.options = options_of(letters, extended, z_up)
    return arguments


def jobs_of(text: str) -> int:
    if not text.isdigit() or int(text) < 1:
        raise UsageError(f"-j needs a number of at least 1, not {text!r}")
    return int(text)


def options_of(letters: Iterable[str], extended: bool, z_up: bool) -> Dict[str, bool]:
    """The library's options for the switch letters given, as the command line sets them."""
    letters = set(letters)
    everything = not letters or "u" in letters
    options = {name: everything for name in ("geometry", "animation", "lights", "cameras", "scene")}
    if "a" in letters:
        options.update(animation=True, geometry=True, scene=True)
    if "g" in letters:
        options.update(geometry=True, scene=True)
    if "l" in letters:
        options["lights"] = True
    if "c" in letters:
        options["cameras"] = True
    if "s" in letters:
        options["scene"] = True
    options.update(extended=extended, z_up=z_up)
    return options


@dataclass
class Job:
    input: Path
    output: Path


def find_jobs(inputs: Sequence[Path], output: Path) -> List[Job]:
    """Every scene to convert: a file given goes straight into the output
    folder, a folder's .ase files (any case, recursively) into the same places
    under it. Raises UsageError for a missing input or two inputs that would
    write one output."""
    jobs: List[Job] = []
    for given in inputs:
        if given.is_dir():
            for folder, folders, files in os.walk(given):
                folders.sort()
                for name in sorted(files):
                    if name.lower().endswith(".ase"):
                        source = Path(folder) / name
                        target = output / source.relative_to(given).with_suffix(".ma")
                        jobs.append(Job(source, target))
        elif given.exists():
            jobs.append(Job(given, output / given.with_suffix(".ma").name))
        else:
            raise UsageError(f"No such file or folder: {given}")
    seen: Dict[Path, Path] = {}
    for job in jobs:
        if job.output in seen:
            raise UsageError(f"{seen[job.output]} and {job.input} would both be converted into {job.output}")
        seen[job.output] = job.input
    return jobs


def up_to_date(job: Job) -> bool:
    try:
        return job.output.stat().st_mtime_ns > job.input.stat().st_mtime_ns
    except OSError:
        return False


@dataclass
class Outcome:
    job: Job
    message: Optional[str] = None  # Why it failed; None when it converted.
    warnings: List[str] = field(default_factory=list)


def convert_job(job: Job, options: Dict[str, bool]) -> Outcome:
    """Converts one scene in memory, then writes it to a hidden temporary file
    beside its output and renames that into place."""
    try:
        text = job.input.read_bytes()
    except OSError as error:
        return Outcome(job, f"Error: Unable to open Input File ({error.strerror})")
    try:
        result = _kestrun.convert_text(text, input_name=str(job.input), output_name=str(job.output), **options)
    except _kestrun.Error as error:
        return Outcome(job, error.message, list(error.result.warnings))
    temporary = None
    try:
        job.output.parent.mkdir(parents=True, exist_ok=True)
        handle, name = tempfile.mkstemp(prefix=f".{job.output.name}.", suffix=".part", dir=job.output.parent)
        temporary = Path(name)
        with os.fdopen(handle, "wb") as file:
            file.write(result.output)
        os.chmod(temporary, 0o666 & ~UMASK)  # mkstemp made it private; give it a new file's mode.
        os.replace(temporary, job.output)
        temporary = None
    except OSError as error:
        return Outcome(job, f"Error: Unable to write Output File ({error.strerror or error})", list(result.warnings))
    finally:
        if temporary is not None:
            temporary.unlink(missing_ok=True)
    return Outcome(job, None, list(result.warnings))


@dataclass
class Summary:
    converted: List[Outcome] = field(default_factory=list)
    failed: List[Outcome] = field(default_factory=list)
    skipped: List[Job] = field(default_factory=list)
    not_started: int = 0
    interrupted: bool = False
    seconds: float = 0.0

    def write(self, out: TextIO, output: Path) -> None:
        total = len(self.converted) + len(self.failed) + len(self.skipped) + self.not_started
        out.write(f"Converted {len(self.converted)} of {total} scenes into {output} in {self.seconds:.1f} s: "
                  f"{len(self.skipped)} up to date, {len(self.failed)} failed"
                  + (f", {self.not_started} not converted (interrupted)" if self.interrupted else "") + "\n")
        if self.failed:
            out.write("Failed:\n")
            for outcome in self.failed:
                out.write(f"  {outcome.job.input}: {outcome.message}\n")
        warned = [o for o in self.converted + self.failed if o.warnings]
        if warned:
            out.write("Warnings:\n")
            for outcome in warned:
                count = len(outcome.warnings)
                out.write(f"  {outcome.job.input}: {count} warning{'s' if count != 1 else ''}\n")
                for warning in outcome.warnings[:5]:
                    out.write(f"    Warning: {warning}\n")
                if count > 5:
                    out.write(f"    ... and {count - 5} more\n")


def run_batch(jobs: List[Job], options: Dict[str, bool], workers: int, force: bool,
              on_done: Callable[[], None] = lambda: None) -> Summary:
    """Converts `jobs` on `workers` threads. Ctrl-C stops starting new ones,
    lets those under way finish (each is whole or absent) and marks the
    summary interrupted."""
    summary = Summary()
    started = time.monotonic()
    todo = []
    for job in jobs:
        if not force and up_to_date(job):
            summary.skipped.append(job)
            on_done()
        else:
            todo.append(job)
    pool = concurrent.futures.ThreadPoolExecutor(max_workers=workers)
    pending = {pool.submit(convert_job, job, options) for job in todo}
    try:
        while pending:
            done, pending = concurrent.futures.wait(pending, timeout=0.2,
                                                    return_when=concurrent.futures.FIRST_COMPLETED)
            for future in done:
                outcome = future.result()
                (summary.failed if outcome.message else summary.converted).append(outcome)
                on_done()
    except KeyboardInterrupt:
        summary.interrupted = True
        for future in pending:
            future.cancel()
        while True:
            try:
                pool.shutdown(wait=True)
                break
            except KeyboardInterrupt:
                continue  # Still finishing the conversions under way.
        for future in pending:
            if future.cancelled():
                summary.not_started += 1
            else:
                outcome = future.result()
                (summary.failed if outcome.message else summary.converted).append(outcome)
    finally:
        pool.shutdown(wait=True)
    order = {id(job): i for i, job in enumerate(jobs)}
    summary.converted.sort(key=lambda o: order[id(o.job)])
    summary.failed.sort(key=lambda o: order[id(o.job)])
    summary.seconds = time.monotonic() - started
    return summary


def main(argv: Optional[Sequence[str]] = None) -> int:
    try:
        return run_command(sys.argv[1:] if argv is None else argv)
    except KeyboardInterrupt:  # Before any scene was started: nothing to finish.
        print("Interrupted: nothing converted", file=sys.stderr)
        return 130


def run_command(argv: Sequence[str]) -> int:
    try:
        arguments = read_arguments(argv)
        if arguments.action == "version":
            print(f"Kestrun {_kestrun.__version__}")
            return 0
        if arguments.action in ("help", "usage"):
            print(USAGE, end="")
            return 0 if arguments.action == "usage" else 1
        jobs = find_jobs(arguments.inputs, arguments.output)
    except UsageError as error:
        print(error, file=sys.stderr)
        print(USAGE, end="", file=sys.stderr)
        return 1
    workers = arguments.jobs or os.cpu_count() or 1
    bar = None
    show = arguments.progress or sys.stderr.isatty()
    if show and jobs:
        from tqdm import tqdm  # Debian: python3-tqdm

        bar = tqdm(total=len(jobs), unit="scene", file=sys.stderr, dynamic_ncols=True)
    try:
        summary = run_batch(jobs, arguments.options, workers, arguments.force,
                            on_done=(lambda: bar.update(1)) if bar else (lambda: None))
    finally:
        if bar:
            bar.close()
    summary.write(sys.stdout, arguments.output)
    sys.stdout.flush()
    if summary.interrupted:
        return 130
    return 1 if summary.failed else 0
