"""End-to-end test of scripts/capture-pictures.py, the script behind
`make pictures`: it makes all four pictures of the real game into a
temporary folder, and the title and the menu must equal the headless game's
frames pixel for pixel.

  pictures_test.py --build-dir DIR --screen PATH
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(os.path.dirname(os.path.dirname(HERE)), "scripts", "capture-pictures.py")
sys.path.insert(0, HERE)
import harness  # noqa: E402
from harness import run_tests  # noqa: E402

PATHS = harness.PATHS


class PicturesTest(unittest.TestCase):
    TIMEOUT = 300

    def setUp(self):
        self.out = tempfile.mkdtemp(prefix="rallix-pictures-")
        self.addCleanup(shutil.rmtree, self.out, True)

    def read(self, name):
        with open(os.path.join(self.out, f"{name}.png"), "rb") as png:
            return png.read()

    def test_the_four_pictures_are_the_games_frames(self):
        result = subprocess.run([sys.executable, SCRIPT, "--build", PATHS["build"],
                                 "--out", self.out], capture_output=True, text=True,
                                check=False, timeout=900)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        # Each is the game's 640 x 480 picture in black and white, or the
        # script would have failed.
        pictures = {name: self.read(name) for name in ("title", "config", "rally", "bonus")}
        for name in ("title", "config"):
            # rallix_screen writes the headless frame as it wrote the capture:
            # equal pictures are equal files.
            subprocess.run([PATHS["screen"], "render", name,
                            os.path.join(self.out, f"{name}-headless.png")], check=True)
            self.assertTrue(pictures[name] == self.read(f"{name}-headless"),
                            f"{name} differs from its frame")
        # The rally and the won stage are no menu: the court is empty of it.
        for name in ("rally", "bonus"):
            self.assertNotEqual(pictures[name], pictures["title"], name)
            self.assertNotEqual(pictures[name], pictures["config"], name)
        self.assertNotEqual(pictures["rally"], pictures["bonus"])

    def test_an_unknown_picture_is_refused_before_anything_runs(self):
        result = subprocess.run([sys.executable, SCRIPT, "--build", PATHS["build"],
                                 "--out", self.out, "title", "scores"],
                                capture_output=True, text=True, check=False, timeout=60)
        self.assertEqual(result.returncode, 2)
        self.assertIn("scores", result.stderr)
        self.assertEqual(os.listdir(self.out), [])


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
