"""The rallix program's command line, run as a user runs it, with no display:
--help and --version answer on standard output with status 0, an unknown
option is named on standard error in one line and status 2, and demo
files that cannot be written or played are refused, each in one line,
before any window opens.

Run:  command_line_test.py --rallix PATH --version X.Y.Z
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import (committed_demos, game_environment, run_headless, run_tests,  # noqa: E402
                     sanitize, without_time)

PATHS = harness.PATHS


class CommandLineTest(unittest.TestCase):

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="rallix-cli-")
        self.addCleanup(shutil.rmtree, self.folder, True)

    def rallix(self, *args):
        # No display: an answer that opened a window would fail instead.
        return run_headless([PATHS["rallix"], *args], self.folder, timeout=30)

    def test_help_version_and_an_unknown_option(self):
        helped = self.rallix("--help")
        self.assertEqual((helped.returncode, helped.stderr), (0, ""))
        self.assertTrue(helped.stdout.startswith("usage: rallix "), helped.stdout)
        self.assertIn("--version", helped.stdout)

        version = self.rallix("--version")
        self.assertEqual((version.returncode, version.stdout, version.stderr),
                         (0, f"rallix {PATHS['version']}\n", ""))

        refused = self.rallix("--fullscreen-please")
        self.assertEqual((refused.returncode, refused.stdout), (2, ""))
        self.assertEqual(refused.stderr, "rallix: unknown option '--fullscreen-please' "
                         "(rallix --help lists the options)\n")

    @sanitize
    def test_an_answer_that_cannot_be_written_fails(self):
        lost = "rallix: cannot write the timed replay's line: No space left on device\n"
        for args, said in ((["--help"], ""), (["--timedemo", committed_demos()[0][0]], lost)):
            with open("/dev/full", "w", encoding="utf-8") as full:
                result = subprocess.run([PATHS["rallix"], *args],
                                        env=game_environment(self.folder), cwd=self.folder,
                                        stdout=full, stderr=subprocess.PIPE, text=True,
                                        timeout=30, check=False)
            self.assertEqual((result.returncode, result.stderr), (1, said), args)

    @sanitize
    def test_demo_files_that_cannot_be_written_or_played_are_refused(self):
        unwritable = os.path.join(self.folder, "no such folder", "run.demo")
        result = self.rallix("--record", unwritable)
        self.assertEqual((result.returncode, result.stdout), (1, ""))
        self.assertEqual(result.stderr, f"rallix: cannot write the demo {unwritable}: "
                                        "No such file or directory\n")

        missing = os.path.join(self.folder, "missing.demo")
        result = self.rallix("--timedemo", missing)
        self.assertEqual((result.returncode, result.stdout, result.stderr),
                         (2, "", f"rallix: cannot read the demo {missing}: "
                                 "No such file or directory\n"))

        with open(committed_demos()[0][0], "rb") as demo:
            good = demo.read()
        for name, content, why in (
                ("garbage.demo", b"\x89PNG\r\n\x1a\n" + bytes(100),
                 "the file is not a Rallix demo"),
                ("corrupted.demo", good[:40] + bytes([good[40] ^ 1]) + good[41:],
                 "the demo is damaged at byte 20: a chunk does not match its checksum")):
            path = os.path.join(self.folder, name)
            with open(path, "wb") as demo:
                demo.write(content)
            for option in ("--playdemo", "--timedemo"):
                result = self.rallix(option, path)
                self.assertEqual((result.returncode, result.stdout), (2, ""), f"{option} {name}")
                self.assertEqual(result.stderr, f"rallix: cannot play {path}: {why}\n")

        # A demo the game does not follow: its first pass holds a reading of
        # the clock where the title reads the keys. Status 1, and where; no
        # frame was shown, so the digest is FNV-1a's starting value.
        records = b"\x03\x05\x00\x10\x00\x00\x10"
        chunk = (struct.pack("<II", len(records), len(records) ^ 0xFFFFFFFF) + records +
                 struct.pack("<I", zlib.crc32(records)))
        path = os.path.join(self.folder, "astray.demo")
        with open(path, "wb") as demo:
            demo.write(good[:20] + chunk)
        result = self.rallix("--timedemo", path)
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertEqual(without_time(result.stdout),
                         "1 passes, score 0, high score 30000, digest CBF29CE484222325 (pass 1: "
                         "the game read the keys where the demo holds a reading of the clock)")


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
