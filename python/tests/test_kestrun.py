"""The Python module kestrun: the command line's bytes, results and
exceptions, and conversions that let other Python threads run.

Run by CTest with the built module on PYTHONPATH, KESTRUN_SOURCE_DIR naming
the repository and KESTRUN_BINARY the built program."""

import concurrent.futures
import faulthandler
import os
import re
import resource
import subprocess
import sys
import tempfile
import threading
import unittest
from pathlib import Path

import kestrun

SOURCE = Path(os.environ.get("KESTRUN_SOURCE_DIR", Path(__file__).resolve().parents[2]))
EXAMPLE = SOURCE / "examples" / "box_scene.ase"
CORPUS = SOURCE / "tests" / "data" / "ase-corpus"
BINARY = os.environ.get("KESTRUN_BINARY")


def without_date(output):
    return re.sub(rb"(?m)^//Last modified:[^\n]*\n", b"//Last modified:<date>\n", output, count=1)


class KestrunTest(unittest.TestCase):
    def setUp(self):
        self._directory = tempfile.TemporaryDirectory(prefix="kestrun-python-")
        self.directory = Path(self._directory.name)
        self.addCleanup(self._directory.cleanup)

    def test_files_are_converted_as_the_command_line_converts_them(self):
        if not BINARY:
            self.skipTest("KESTRUN_BINARY names no program")
        output = self.directory / "out.ma"
        for scene in [EXAMPLE, CORPUS / "anim2.ASE", CORPUS / "TargetCameraAnim.ase"]:
            for switches, options in [([], {}), (["-g", "-l"], dict(animation=False, cameras=False)),
                                      (["--extended"], dict(extended=True)),
                                      (["-c", "--extended", "--z-up"],
                                       dict(geometry=False, animation=False, lights=False, scene=False,
                                            extended=True, z_up=True))]:
                with self.subTest(scene=scene.name, switches=switches):
                    program = subprocess.run([BINARY, str(scene), str(output)] + switches, capture_output=True)
                    self.assertEqual(program.returncode, 0, program.stderr)
                    expected = without_date(output.read_bytes())
                    result = kestrun.convert(scene, output, **options)
                    self.assertTrue(result.ok)
                    self.assertEqual(result.exit_status, 0)
                    self.assertEqual(without_date(output.read_bytes()), expected)
                    self.assertEqual(result.warnings, [line[len("Warning: "):] for line in
                                                       program.stderr.decode().splitlines()
                                                       if line.startswith("Warning: ")])

    def test_the_result_counts_what_was_converted(self):
        result = kestrun.convert(str(EXAMPLE), str(self.directory / "box.ma"), extended=True)
        self.assertEqual((result.code, result.message), (kestrun.ResultCode.ok, ""))
        counts = result.counts
        self.assertEqual((counts.objects, counts.meshes, counts.lights, counts.cameras), (3, 1, 1, 1))
        self.assertEqual((counts.first_frame, counts.last_frame), (0, 100))
        self.assertGreater(counts.animation_curves, 0)
        self.assertTrue(all(isinstance(warning, str) for warning in result.warnings))
        only_lights = kestrun.convert(EXAMPLE, self.directory / "lights.ma", geometry=False, cameras=False,
                                      animation=False, scene=False)
        self.assertEqual((only_lights.counts.meshes, only_lights.counts.lights), (0, 1))

    def test_text_converts_as_a_file_does(self):
        text, output = EXAMPLE.read_bytes(), self.directory / "box.ma"
        for extended in (False, True):
            kestrun.convert(EXAMPLE, output, extended=extended)
            names = dict(extended=extended, input_name=str(EXAMPLE), output_name=str(output))
            result = kestrun.convert_text(text, **names)
            self.assertIsInstance(result.output, bytes)
            self.assertEqual(without_date(result.output), without_date(output.read_bytes()))
            self.assertEqual(result.output, kestrun.convert_text(text.decode(), **names).output)
        with self.assertRaises(TypeError):
            kestrun.convert_text(42)

    def test_failures_raise_with_the_command_lines_code_and_message(self):
        out = self.directory / "out.ma"
        self.assertTrue(issubclass(kestrun.Error, RuntimeError))
        for code, convert, message in [
                (kestrun.ResultCode.input_open, lambda: kestrun.convert(self.directory / "missing.ase", out),
                 "Error: Unable to open Input File"),
                (kestrun.ResultCode.output_open, lambda: kestrun.convert(EXAMPLE, self.directory / "no" / "o.ma"),
                 None),
                (kestrun.ResultCode.input_read, lambda: kestrun.convert(self.directory, out), None),
                # A NUL in a name is refused, never taken as the shorter name before it.
                (kestrun.ResultCode.input_open, lambda: kestrun.convert(f"{EXAMPLE}\0.x", out), None),
                (kestrun.ResultCode.output_open, lambda: kestrun.convert(EXAMPLE, f"{out}\0.x"), None),
                (kestrun.ResultCode.not_ase_text, lambda: kestrun.convert_text("a b c"), "Invalid Input File"),
                (kestrun.ResultCode.conversion_failed,
                 lambda: kestrun.convert_text("*3DSMAX_ASCIIEXPORT 200\n*GEOMOBJECT *NODE_NAME"), None),
                (kestrun.ResultCode.usage, lambda: kestrun.convert(EXAMPLE, out, z_up=True), None)]:
            with self.subTest(code=code):
                with self.assertRaises(kestrun.Error) as raised:
                    convert()
                error = raised.exception
                self.assertEqual(error.code, code)
                self.assertEqual(str(error), error.message)
                self.assertEqual((error.result.code, error.result.ok, error.result.exit_status), (code, False, 1))
                if message:
                    self.assertEqual(error.message, message)
        self.assertEqual(int(kestrun.ResultCode.input_open), 7)

    def test_warnings_are_str_whatever_the_bytes_of_the_names(self):
        # A Latin-1 name of an ANSI export, and a UTF-8 name cut inside a character after 80 bytes.
        scene = b"*3DSMAX_ASCIIEXPORT 200\n"
        for name in [b"Caf\xe9", b"a" * 79 + b"\xc3\xa9"]:
            scene += b'*HELPEROBJECT {\n*NODE_NAME "' + name + b'"\n*NODE_PARENT "Gone"\n}\n'
        warnings = kestrun.convert_text(scene, extended=True).warnings
        missing = ": its parent \"Gone\" is not in the file; it stays at the top level, where the file places it"
        self.assertEqual(warnings, ['"Caf\ufffd"' + missing, '"' + "a" * 79 + '\ufffd..."' + missing])

    def test_text_and_paths_with_a_lone_surrogate_are_a_clear_type_error(self):
        for convert, what in [(lambda: kestrun.convert_text("*3DSMAX_ASCIIEXPORT 200 \ud800"), "scene text"),
                              (lambda: kestrun.convert_text(b"", output_name="\ud800"), "output_name"),
                              (lambda: kestrun.convert(EXAMPLE, self.directory / "\ud800.ma"), "output path")]:
            with self.subTest(what=what), self.assertRaisesRegex(TypeError, what + " holds a lone surrogate"):
                convert()
        self.assertEqual(list(self.directory.iterdir()), [])

    def test_a_failed_conversion_leaves_an_existing_output_as_it_was(self):
        scene = self.directory / "scene.ase"
        scene.write_bytes(EXAMPLE.read_bytes())
        earlier = self.directory / "scene.ma"
        earlier.write_bytes(b"//Maya ASCII 3.0 scene\n")
        for source, output in [(earlier, scene), (self.directory / "missing.ase", earlier)]:
            with self.subTest(source=source.name), self.assertRaises(kestrun.Error):
                kestrun.convert(source, output)
        self.assertEqual(scene.read_bytes(), EXAMPLE.read_bytes())
        self.assertEqual(earlier.read_bytes(), b"//Maya ASCII 3.0 scene\n")
        self.assertEqual(sorted(path.name for path in self.directory.iterdir()), ["scene.ase", "scene.ma"])

    def test_the_interpreter_runs_on_while_a_scene_is_converted(self):
        # The conversion reads a pipe that this thread fills: were the
        # interpreter lock held while converting, neither could go on.
        faulthandler.dump_traceback_later(60, exit=True)
        try:
            pipe = self.directory / "scene.pipe"
            os.mkfifo(pipe)
            results = []
            worker = threading.Thread(
                target=lambda: results.append(kestrun.convert(pipe, self.directory / "piped.ma")))
            worker.start()
            with open(pipe, "wb") as writer:
                writer.write(EXAMPLE.read_bytes())
            worker.join()
        finally:
            faulthandler.cancel_dump_traceback_later()
        self.assertEqual([result.counts.meshes for result in results], [1])

    def test_threads_converting_at_once_get_the_bytes_of_one_at_a_time(self):
        scenes = [path.read_bytes() for path in sorted(CORPUS.glob("*.[aA][sS][eE]"))
                  if path.stat().st_size < 500_000]
        jobs = [(scene, extended) for scene in scenes for extended in (False, True)] * 3

        def convert(job):
            try:
                return without_date(kestrun.convert_text(job[0], extended=job[1]).output)
            except kestrun.Error as error:
                return error.code

        alone = [convert(job) for job in jobs]
        with concurrent.futures.ThreadPoolExecutor(max_workers=6) as pool:
            self.assertEqual(list(pool.map(convert, jobs)), alone)

    def test_where_no_thread_can_start_a_conversion_completes_on_the_calling_thread(self):
        # The same conversions in two children, one with a stack limit larger than any address
        # space: no thread can start there, and the files must be the same.
        script = ("import sys, threading, kestrun\n"
                  "try:\n    threading.Thread(target=print).start()\nexcept RuntimeError:\n    pass\n"
                  "else:\n    if sys.argv[2] == 'limited':\n        sys.exit('a thread started')\n"
                  "for extended in (False, True):\n"
                  "    kestrun.convert(sys.argv[1], f'out{extended}.ma', extended=extended)\n")
        hard = resource.getrlimit(resource.RLIMIT_STACK)[1]
        limited = lambda: resource.setrlimit(resource.RLIMIT_STACK, (1 << 46, hard))
        for name, preexec in [("free", None), ("limited", limited)]:
            (self.directory / name).mkdir()
            child = subprocess.run([sys.executable, "-c", script, str(EXAMPLE), name], cwd=self.directory / name,
                                   capture_output=True, preexec_fn=preexec)
            self.assertEqual(child.returncode, 0, child.stderr)
        for extended in (False, True):
            self.assertEqual(*[without_date((self.directory / name / f"out{extended}.ma").read_bytes())
                               for name in ("free", "limited")])

    def test_the_version_is_the_programs(self):
        self.assertRegex(kestrun.__version__, r"^\d+\.\d+")
        if BINARY:
            version = subprocess.run([BINARY, "--version"], capture_output=True, text=True).stdout
            self.assertEqual(version, f"Kestrun {kestrun.__version__}\n")


if __name__ == "__main__":
    unittest.main()
