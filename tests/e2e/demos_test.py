"""Demos with the real program. The committed demos replayed by
`rallix --timedemo` (without a display) and by the browser build's core in
node (rallix_timedemo.js) print the passes, scores and frames' digest each run
showed as it was recorded; windows_test.py does the same under Wine. In the
window: a run recorded with --record is shown again by --playdemo, whatever
keys are held meanwhile, and ends by itself; files that cannot be written or
played are refused before any window opens; and a recording whose game is
killed leaves FILE.part, a demo that ends early, and FILE as it was.

Run:  demos_test.py --rallix PATH --screen PATH --web DIR [TestClass.test_name ...]
"""

import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import (GameTestCase, committed_demos, deadline_after, game_environment,  # noqa: E402
                     missing, run_tests, sanitize, without_time)

PATHS = harness.PATHS
PLAYER_ROW = 23


def run(*args, folder):
    """A program run to its end in `folder`, with no display to open a
    window on."""
    return subprocess.run(list(args), env=game_environment(folder), cwd=folder,
                          capture_output=True, text=True, timeout=120, check=False)


class CommittedDemosTest(unittest.TestCase):

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="rallix-demos-")
        self.addCleanup(shutil.rmtree, self.folder, True)

    @sanitize
    def test_the_desktop_program_replays_each_to_what_it_showed(self):
        for path, expected in committed_demos():
            result = run(PATHS["rallix"], "--timedemo", path, folder=self.folder)
            self.assertEqual((result.returncode, result.stderr), (0, ""), path)
            self.assertEqual(without_time(result.stdout), expected, path)

    def test_the_browser_core_in_node_replays_each_to_what_it_showed(self):
        node = shutil.which("node") or missing("node")
        program = os.path.join(PATHS.get("web", ""), "rallix_timedemo.js")
        if not os.path.exists(program):
            missing(f"{program} (`make web` builds it)")
        for path, expected in committed_demos():
            result = run(node, program, path, folder=self.folder)
            self.assertEqual((result.returncode, result.stderr), (0, ""), path)
            self.assertEqual(without_time(result.stdout), expected, path)

    # The browser build is made first (web.build, in web/test/CMakeLists.txt).
    test_the_browser_core_in_node_replays_each_to_what_it_showed.FIXTURES = ("web_site",)

    @sanitize
    def test_files_that_cannot_be_written_or_played_are_refused_before_any_window(self):
        # No display: a program that opened a window would say so instead.
        unwritable = os.path.join(self.folder, "no such folder", "run.demo")
        result = run(PATHS["rallix"], "--record", unwritable, folder=self.folder)
        self.assertEqual((result.returncode, result.stdout), (1, ""))
        self.assertEqual(result.stderr, f"rallix: cannot write the demo {unwritable}: "
                                        "No such file or directory\n")

        lost_game = committed_demos()[0][0]
        with open(lost_game, "rb") as demo:
            good = demo.read()
        refusals = {
            "garbage.demo": (b"\x89PNG\r\n\x1a\n" + bytes(100),
                             "the file is not a Rallix demo"),
            "newer.demo": (good[:8] + b"\x02" + good[9:],
                           "the demo was made by a newer Rallix (format 2; this one plays "
                           "format 1)"),
            "corrupted.demo": (good[:40] + bytes([good[40] ^ 1]) + good[41:],
                               "the demo is damaged at byte 20: a chunk does not match its "
                               "checksum"),
            "oversized.demo": (good + bytes(4 * 1024 * 1024),
                               "the file is too large for a demo (more than 4194304 bytes)"),
        }
        for name, (content, why) in refusals.items():
            path = os.path.join(self.folder, name)
            with open(path, "wb") as demo:
                demo.write(content)
            for option in ("--playdemo", "--timedemo"):
                result = run(PATHS["rallix"], option, path, folder=self.folder)
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
        result = run(PATHS["rallix"], "--timedemo", path, folder=self.folder)
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertEqual(without_time(result.stdout),
                         "1 passes, score 0, high score 30000, digest CBF29CE484222325 (pass 1: "
                         "the game read the keys where the demo holds a reading of the clock)")


class DemoWindowTest(GameTestCase):

    def setUp(self):
        super().setUp()
        self.folder = tempfile.mkdtemp(prefix="rallix-demos-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.demo = os.path.join(self.folder, "run.demo")

    def timed(self, path):
        result = run(PATHS["rallix"], "--timedemo", path, folder=self.folder)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout.strip()

    def paddle_at_the_left_wall(self, game):
        game.wait_for_text(lambda lines: lines[PLAYER_ROW][1:6] == "--+--",
                           "the paddle at the left wall")

    def test_a_recorded_run_plays_back_the_same_whatever_keys_are_held(self):
        # Recorded: the title for two seconds, "GAME START", then the paddle
        # held against the left wall.
        game = self.start_game(args=["--record", self.demo])
        game.wait_for_frame("title")
        time.sleep(2)
        game.press("space")
        game.key_down("Left")
        try:
            self.paddle_at_the_left_wall(game)
        finally:
            game.key_up("Left")
        game.close_window()
        self.assertEnds(game, 0, within=10)
        self.assertFalse(os.path.exists(self.demo + ".part"))
        self.assertRegex(self.timed(self.demo), r"^\d+ passes, score \d+, high score 30000, "
                                                r"[0-9.]+ s, digest [0-9A-F]{16}$")

        # Played back: P holds the replay on the title for longer than the
        # title was shown; then, with Right held, the demo's keys move the
        # paddle, and the program ends with the demo.
        game = self.start_game(args=["--playdemo", self.demo])
        game.press("p")
        self.assertEqual(game.wait_for_name("Rallix (paused)"), "Rallix (paused)")
        time.sleep(3)
        lines = game.screen_text()
        self.assertIn("GAME START", lines[13], "\n".join(lines))
        game.press("p")
        self.assertEqual(game.wait_for_name("Rallix"), "Rallix")
        game.key_down("Right")
        try:
            self.paddle_at_the_left_wall(game)
        finally:
            game.key_up("Right")
        self.assertEnds(game, 0, within=30)
        self.assertEqual(game.stderr(), "")

    def test_a_killed_recording_leaves_a_demo_that_ends_early_and_the_old_file(self):
        with open(self.demo, "w", encoding="utf-8") as old:
            old.write("the last recording")
        game = self.start_game(args=["--record", self.demo])
        game.press("space")
        # Two chunks of 60 passes written, about two seconds of play (the
        # file may still be empty as the window shows).
        deadline = deadline_after(20)
        passes = 0
        while passes < 120 and time.monotonic() < deadline:
            timed = run(PATHS["rallix"], "--timedemo", self.demo + ".part", folder=self.folder)
            passes = int(timed.stdout.split()[0]) if timed.returncode == 0 else 0
        self.assertGreaterEqual(passes, 120, timed.stdout + timed.stderr)
        game.process.kill()
        game.process.wait()

        with open(self.demo, encoding="utf-8") as old:
            self.assertEqual(old.read(), "the last recording")
        ended = re.search(r"\(pass (\d+): the demo ends early, after this pass\)$",
                          self.timed(self.demo + ".part"))
        self.assertIsNotNone(ended)
        self.assertEqual(int(ended.group(1)) % 60, 0, "a chunk holds 60 passes")
        self.assertGreaterEqual(int(ended.group(1)), passes)


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
