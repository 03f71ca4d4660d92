"""The rallix program's command line, run as a user runs it: --help and
--version answer on standard output and end with status 0 before any window
is opened, and an unknown option is named on standard error with the usage
and status 2.

Run:  command_line_test.py --rallix PATH --version X.Y.Z
"""

import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import game_environment, run_tests  # noqa: E402

PATHS = harness.PATHS


class CommandLineTest(unittest.TestCase):
    def rallix(self, *args):
        with tempfile.TemporaryDirectory(prefix="rallix-cli-") as folder:
            # No display: an answer that opened a window would fail instead.
            return subprocess.run([PATHS["rallix"], *args], env=game_environment(folder),
                                  cwd=folder, capture_output=True, text=True, timeout=30,
                                  check=False)

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
        self.assertEqual(refused.stderr.splitlines()[0],
                         "rallix: unknown option '--fullscreen-please'")
        self.assertIn(helped.stdout, refused.stderr)


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
