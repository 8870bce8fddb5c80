"""python3 -m kestrun, the batch command: a tree of scenes with failures among
them converted into a mirror of it with the command line's bytes, the
summary, the skip-if-newer rule, the switches and long options, and Ctrl-C.

Run by CTest like test_kestrun.py (the built package on PYTHONPATH)."""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

import kestrun
from kestrun import batch

SOURCE = Path(os.environ.get("KESTRUN_SOURCE_DIR", Path(__file__).resolve().parents[2]))
CORPUS = SOURCE / "tests" / "data" / "ase-corpus"
BINARY = os.environ.get("KESTRUN_BINARY")


def without_date(output):
    return re.sub(rb"(?m)^//Last modified:[^\n]*\n", b"", output, count=1)


class BatchTest(unittest.TestCase):
    def setUp(self):
        self._directory = tempfile.TemporaryDirectory(prefix="kestrun-batch-")
        self.addCleanup(self._directory.cleanup)
        self.directory = Path(self._directory.name)
        # The corpus as a tree: some scenes two folders down, and a file that is no scene.
        self.inputs = self.directory / "in"
        self.scenes = []
        for i, scene in enumerate(sorted(CORPUS.glob("*.[aA][sS][eE]"))):
            folder = self.inputs / ("" if i % 3 == 0 else "props" if i % 3 == 1 else "props/old")
            folder.mkdir(parents=True, exist_ok=True)
            shutil.copyfile(scene, folder / scene.name)
            self.scenes.append(folder / scene.name)
        (self.inputs / "notes.txt").write_text("not a scene")

    def run_batch(self, *arguments):
        return subprocess.run([sys.executable, "-m", "kestrun", *arguments], cwd=self.directory,
                              capture_output=True, text=True, timeout=300)

    def expected_output(self, scene):
        return Path("out") / scene.relative_to(self.directory / "in").with_suffix(".ma")

    def test_a_tree_converts_into_its_mirror_with_the_command_lines_bytes_and_a_summary(self):
        if not BINARY:
            self.skipTest("KESTRUN_BINARY names no program")
        for switches in ([], ["--extended"]):
            shutil.rmtree(self.directory / "out", ignore_errors=True)
            with self.subTest(switches=switches):
                run = self.run_batch("in", "out", "-j", "2", "--progress", *switches)
                self.assertEqual(run.returncode, 1, run.stderr)  # The UTF-16 scenes fail.
                self.assertIn(f"{len(self.scenes)}/{len(self.scenes)}", run.stderr)  # The progress bar.
                failed, warned = [], {}
                for scene in self.scenes:
                    relative = scene.relative_to(self.directory)
                    output = self.expected_output(scene)
                    cli = subprocess.run([BINARY, str(relative), str(output) + ".cli", *switches],
                                         cwd=self.directory, capture_output=True)
                    cli_output = self.directory / (str(output) + ".cli")
                    if cli.returncode != 0:
                        cli_output.unlink(missing_ok=True)
                        message = cli.stderr.decode().strip().splitlines()[-1]
                        failed.append(f"  {relative}: {message}")
                        self.assertFalse((self.directory / output).exists())
                        continue
                    expected = without_date(cli_output.read_bytes()).replace(
                        (str(output) + ".cli").encode(), str(output).encode())
                    self.assertEqual(without_date((self.directory / output).read_bytes()), expected, relative)
                    warnings = [line for line in cli.stderr.decode().splitlines() if line.startswith("Warning: ")]
                    if warnings:
                        warned[str(relative)] = len(warnings)
                    cli_output.unlink()
                self.assertEqual(sorted(p.name for p in (self.directory / "out").rglob("*") if p.is_file()),
                                 sorted(self.expected_output(s).name for s in self.scenes
                                        if f"  {s.relative_to(self.directory)}:" not in "\n".join(failed)))
                converted = len(self.scenes) - len(failed)
                lines = run.stdout.splitlines()
                self.assertRegex(lines[0], rf"^Converted {converted} of {len(self.scenes)} scenes into out "
                                           rf"in [\d.]+ s: 0 up to date, {len(failed)} failed$")
                self.assertEqual(lines[1:2 + len(failed)], ["Failed:"] + failed)
                for name, count in warned.items():
                    self.assertIn(f"  {name}: {count} warning{'s' if count > 1 else ''}", lines)
                self.assertEqual(bool(warned), "Warnings:" in lines)

    def test_a_rerun_converts_only_what_is_left_unless_forced(self):
        self.assertEqual(self.run_batch("in", "out").returncode, 1)
        outputs = sorted((self.directory / "out").rglob("*.ma"))
        times = {path: path.stat().st_mtime_ns for path in outputs}
        total, converted = len(self.scenes), len(outputs)
        rerun = self.run_batch("in", "out")
        self.assertEqual(rerun.returncode, 1)
        self.assertRegex(rerun.stdout, rf"^Converted 0 of {total} scenes .*: {converted} up to date, 2 failed")
        self.assertEqual({path: path.stat().st_mtime_ns for path in outputs}, times)
        # An input changed after its output is converted again.
        changed = self.scenes[1]
        os.utime(changed, ns=(time.time_ns() + 10**9, time.time_ns() + 10**9))
        self.assertRegex(self.run_batch("in", "out").stdout, rf"^Converted 1 of {total} scenes .*: "
                                                              rf"{converted - 1} up to date")
        self.assertRegex(self.run_batch("in", "out", "--force").stdout, rf"^Converted {converted} of {total} ")
        # Once the failing scenes are gone, all is converted: status 0.
        for scene in self.scenes:
            if "UTF16" in scene.name:
                scene.unlink()
        self.assertEqual(self.run_batch("in", "out").returncode, 0)

    def test_switches_and_long_options_are_the_command_lines(self):
        everything = dict(geometry=True, animation=True, lights=True, cameras=True, scene=True)
        nothing = dict.fromkeys(everything, False)
        cases = [
            ([], dict(everything, extended=False, z_up=False)),
            (["-u", "-g"], dict(everything, extended=False, z_up=False)),
            (["-G", "-l"], dict(nothing, geometry=True, scene=True, lights=True, extended=False, z_up=False)),
            (["-animation"], dict(nothing, geometry=True, scene=True, animation=True, extended=False, z_up=False)),
            (["-c", "-s", "--extended", "--z-up"], dict(nothing, cameras=True, scene=True, extended=True, z_up=True)),
        ]
        for switches, options in cases:
            with self.subTest(switches=switches):
                arguments = batch.read_arguments(["in", "more.ase", "out", *switches, "-j3"])
                self.assertEqual((arguments.inputs, arguments.output), ([Path("in"), Path("more.ase")], Path("out")))
                self.assertEqual((arguments.options, arguments.jobs), (options, 3))
        for wrong, message in [(["in", "out", "-x"], "Unrecognized parameter : -x"),
                               (["in", "out", "--zup"], "Unrecognized parameter : --zup"),
                               (["in", "out", "--z-up"], "Parameter --z-up needs --extended"),
                               (["in", "out", "-j", "0"], "-j needs a number"), (["in"], "output folder")]:
            with self.subTest(wrong=wrong):
                with self.assertRaisesRegex(batch.UsageError, re.escape(message)):
                    batch.read_arguments(wrong)
        for only, status in [(["--version"], 0), (["--help"], 0), (["-h"], 1), (["in", "out", "-H"], 1)]:
            run = self.run_batch(*only)
            self.assertEqual(run.returncode, status, only)
            self.assertEqual(run.stdout, f"Kestrun {kestrun.__version__}\n" if only == ["--version"] else batch.USAGE)
        # A single file given goes straight into the output folder, converted as the switches say.
        scene = next(s for s in self.scenes if s.name == "TargetCameraAnim.ase")
        self.assertEqual(self.run_batch(str(scene), "single", "-c", "--extended").returncode, 0)
        expected = kestrun.convert_text(scene.read_bytes(), geometry=False, animation=False, lights=False,
                                        scene=False, extended=True, input_name=str(scene),
                                        output_name=str(Path("single") / "TargetCameraAnim.ma")).output
        self.assertEqual(without_date((self.directory / "single" / "TargetCameraAnim.ma").read_bytes()),
                         without_date(expected))
        missing = self.run_batch("nowhere", "out")
        self.assertEqual((missing.returncode, missing.stderr.splitlines()[0]), (1, "No such file or folder: nowhere"))

    def test_unreadable_inputs_and_unwritable_outputs_are_failures_of_their_own(self):
        (self.inputs / "gone.ase").symlink_to(self.directory / "nowhere.ase")
        (self.directory / "out").mkdir()
        (self.directory / "out" / "props").write_text("a file where the props folder would go")
        run = self.run_batch("in", "out", "-j", "1")
        self.assertEqual(run.returncode, 1)
        self.assertIn("Failed:\n", run.stdout, run.stderr)
        failed = run.stdout.split("Failed:\n")[1].split("Warnings:")[0].splitlines()
        for scene in self.scenes:
            if scene.parent != self.inputs and "UTF16" not in scene.name:
                reason = "File exists" if scene.parent.name == "props" else "Not a directory"
                self.assertIn(f"  {scene.relative_to(self.directory)}: Error: Unable to write Output File "
                              f"({reason})", failed)
        self.assertIn("  in/gone.ase: Error: Unable to open Input File (No such file or directory)", failed)
        self.assertEqual([p.name for p in (self.directory / "out").iterdir()
                          if p.name.startswith(".")], [])  # No temporary file left.

    def test_ctrl_c_stops_the_batch_with_no_half_written_scene(self):
        many = self.directory / "many"
        many.mkdir()
        scene = CORPUS / "MotionCaptureROM.ase"
        for i in range(400):
            os.link(self.scenes[0], many / f"scene{i:03}.ase") if i % 2 else shutil.copyfile(scene, many / f"scene{i:03}.ase")
        process = subprocess.Popen([sys.executable, "-m", "kestrun", "many", "out", "--extended", "-j", "2"],
                                   cwd=self.directory, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        deadline = time.monotonic() + 60
        while not list((self.directory / "out").glob("*.ma")) and time.monotonic() < deadline:
            time.sleep(0.01)
        process.send_signal(signal.SIGINT)
        stdout, stderr = process.communicate(timeout=120)
        self.assertEqual(process.returncode, 130, stderr)
        self.assertRegex(stdout, r"^Converted \d+ of 400 scenes .*, \d+ not converted \(interrupted\)")
        written = sorted((self.directory / "out").iterdir())
        self.assertTrue(written)
        self.assertLess(len(written), 400)
        for output in written:
            self.assertEqual(output.suffix, ".ma")  # No temporary file left behind.
            source = many / output.with_suffix(".ase").name
            expected = kestrun.convert_text(source.read_bytes(), extended=True, input_name=str(Path("many") / source.name),
                                            output_name=str(Path("out") / output.name)).output
            self.assertEqual(without_date(output.read_bytes()), without_date(expected), output.name)


if __name__ == "__main__":
    unittest.main()
