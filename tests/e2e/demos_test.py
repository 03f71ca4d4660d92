"""Demos with the real program. The committed demos replayed by
`rallix --timedemo` (without a display) and by the browser build's core in
node (rallix_timedemo.js) print what each run showed as it was recorded;
windows_test.py does the same under Wine. Both refuse the crafted files of
tests/data/demos/crafted.txt alike, and a pipe at once. In the window: a run
recorded with --record is shown again by --playdemo, whatever keys are held
meanwhile, P holds it, and it ends by itself; a second recorder of the same
file is refused while the first records; a recording whose game is killed
leaves FILE.part, a demo that ends early that no later recording touches,
and FILE as it was.

Run:  demos_test.py --rallix PATH --screen PATH --web DIR [TestClass.test_name ...]
"""

import os
import re
import shutil
import struct
import sys
import tempfile
import unittest
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import (GameTestCase, missing, replays_committed_demos, run_headless,  # noqa: E402
                     run_tests, sanitize)

PATHS = harness.PATHS
PLAYER_ROW = 23
PASSES_PER_CHUNK = 60
PASS_SECONDS = 0.017


def crafted(description):
    """The bytes a line of crafted.txt describes (its header says how)."""
    out, opened = bytearray(), []
    for word in description.split():
        if word == "magic":
            out += b"RLXDEMO\x1a"
        elif word in "{[":
            opened.append(len(out))
        elif word in "}]":
            start = opened.pop()
            records = bytes(out[start:])
            if word == "]":
                out[start:start] = struct.pack("<II", len(records), len(records) ^ 0xFFFFFFFF)
            out += struct.pack("<I", zlib.crc32(records))
        else:
            value, _, count = word.partition("*")
            out += bytes([int(value, 16)]) * int(count or 1)
    return bytes(out)


class CommittedDemosTest(unittest.TestCase):

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="rallix-demos-")
        self.addCleanup(shutil.rmtree, self.folder, True)

    def replay_each(self, *program):
        replays_committed_demos(self, lambda path: run_headless([*program, path], self.folder))

    @sanitize
    def test_the_desktop_program_replays_each_to_what_it_showed(self):
        self.replay_each(PATHS["rallix"], "--timedemo")

    def test_the_browser_core_in_node_replays_each_to_what_it_showed(self):
        node = shutil.which("node") or missing("node")
        program = os.path.join(PATHS.get("web", ""), "rallix_timedemo.js")
        if not os.path.exists(program):
            missing(f"{program} (`make web` builds it)")
        self.replay_each(node, program)

    def test_the_desktop_and_the_browser_core_refuse_each_crafted_file_alike(self):
        node = shutil.which("node") or missing("node")
        program = os.path.join(PATHS.get("web", ""), "rallix_timedemo.js")
        if not os.path.exists(program):
            missing(f"{program} (`make web` builds it)")
        path = os.path.join(self.folder, "crafted.demo")
        with open(os.path.join(harness.DEMO_FOLDER, "crafted.txt"), encoding="utf-8") as table:
            rows = [line.rstrip("\n").split("|") for line in table if line.strip()[:1] not in "#"]
        for rule, description, outcome in rows:
            with open(path, "wb") as demo:
                demo.write(crafted(description))
            for name, *tool in (("rallix", PATHS["rallix"], "--timedemo"),
                                ("rallix_timedemo", node, program)):
                result = run_headless([*tool, path], self.folder)
                if outcome.startswith(" refused: "):
                    self.assertEqual((result.returncode, result.stderr),
                                     (2, f"{name}: cannot play {path}: {outcome[10:]}\n"), rule)
                else:
                    self.assertNotEqual(result.returncode, 2, f"{rule}: {result.stderr}")
        # A pipe no one writes to is refused, not waited on.
        os.remove(path)
        os.mkfifo(path)
        for name, *tool in (("rallix", PATHS["rallix"], "--timedemo"),
                            ("rallix_timedemo", node, program)):
            result = run_headless([*tool, path], self.folder)
            said = f"{name}: cannot read the demo {path}: it is not a regular file\n"
            self.assertEqual((result.returncode, result.stderr), (2, said))

    # The browser build is made first (web.build, in tests/web/CMakeLists.txt).
    test_the_browser_core_in_node_replays_each_to_what_it_showed.FIXTURES = ("web_site",)
    test_the_desktop_and_the_browser_core_refuse_each_crafted_file_alike.FIXTURES = ("web_site",)
    test_the_desktop_and_the_browser_core_refuse_each_crafted_file_alike.TIMEOUT = 240


class DemoWindowTest(GameTestCase):

    def setUp(self):
        super().setUp()
        self.folder = tempfile.mkdtemp(prefix="rallix-demos-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.demo = os.path.join(self.folder, "run.demo")

    def timed(self, path):
        """The timed replay's line and status."""
        result = run_headless([PATHS["rallix"], "--timedemo", path], self.folder)
        return result.stdout.strip(), result.returncode

    def passes(self, path):
        """The passes the demo at `path` holds (0 before its first chunk)."""
        line, status = self.timed(path)
        return int(line.split()[0]) if status == 0 else 0

    def wait_for_passes(self, path, passes, timeout=harness.WAIT_SECONDS):
        return harness.wait_for(f"{passes} passes in {path}", lambda: self.passes(path),
                                lambda held: held >= passes, timeout)

    @staticmethod
    def court(lines, balls):
        """The court and the panel (not the corner where a pause shows) and
        every place the ball shows."""
        return [line[:30] for line in lines], balls

    def test_a_recorded_run_plays_back_the_same_whatever_keys_are_held(self):
        # Recorded: "GAME START" with Left held, and P once the paddle stands
        # at the left wall. The demo ends in that pause, which lasts until it
        # holds three more chunks: two seconds at the least (a chunk may have
        # been nearly full as the pause began).
        game = self.start_game(args=["--record", self.demo])
        game.wait_for_frame("title")
        game.key_down("Left")
        try:
            game.press("space")
            game.wait_for_text(lambda lines: lines[PLAYER_ROW][1:6] == "--+--",
                               "the paddle at the left wall")
            game.press("p")
        finally:
            game.key_up("Left")
        game.wait_for_name("Rallix (paused)")
        last = self.court(*game.look())
        before = self.passes(self.demo + ".part")
        self.wait_for_passes(self.demo + ".part", before + 3 * PASSES_PER_CHUNK)
        game.close_window()
        self.assertEnds(game, 0)
        self.assertFalse(os.path.exists(self.demo + ".part"))
        line, status = self.timed(self.demo)
        self.assertEqual(status, 0)
        self.assertRegex(line, r"^\d+ passes, score \d+, high score 30000, [0-9.]+ s, "
                               r"digest [0-9A-F]{16}$")
        rest = (int(line.split()[0]) - before) * PASS_SECONDS

        # Played back with Right held throughout: the same court, paddle and
        # ball in the pause. P there holds the replay for longer than the rest
        # of the demo lasts at its pace; P again, and it ends by itself.
        game = self.start_game(args=["--playdemo", self.demo])
        game.key_down("Right")
        try:
            game.wait_for_look(lambda lines, balls: self.court(lines, balls) == last,
                               "the recorded run's last frame")
            game.press("p")
            game.wait_for_name("Rallix (paused)")
            self.assertIsNone(game.wait(timeout=rest + 1), "the pause did not hold the replay")
            game.press("p")
            game.wait_for_name("Rallix")
        finally:
            game.key_up("Right")
        self.assertEnds(game, 0)
        self.assertEqual(game.stderr(), "")

    def record_elsewhere(self):
        """A second `rallix --record` of the same file, with no display: one
        that got as far as opening a window would say it cannot."""
        result = run_headless([PATHS["rallix"], "--record", self.demo], self.folder)
        self.assertEqual((result.returncode, result.stdout), (1, ""))
        return result.stderr

    def test_a_killed_recording_leaves_a_demo_that_ends_early_and_the_old_file(self):
        with open(self.demo, "w", encoding="utf-8") as old:
            old.write("the last recording")
        part = self.demo + ".part"
        game = self.start_game(args=["--record", self.demo])
        game.press("space")
        self.wait_for_passes(part, PASSES_PER_CHUNK, timeout=20)
        self.assertEqual(self.record_elsewhere(),
                         f"rallix: cannot write the demo {self.demo}: another Rallix is "
                         f"recording it now, into {part}\n")
        passes = self.wait_for_passes(part, 2 * PASSES_PER_CHUNK, timeout=20)
        game.process.kill()
        game.process.wait()

        with open(self.demo, encoding="utf-8") as old:
            self.assertEqual(old.read(), "the last recording")
        with open(part, "rb") as left:
            kept = left.read()
        ended = re.search(r"\(pass (\d+): the demo ends early, after this pass\)$",
                          self.timed(part)[0])
        self.assertIsNotNone(ended)
        self.assertEqual(int(ended.group(1)) % PASSES_PER_CHUNK, 0)
        self.assertGreaterEqual(int(ended.group(1)), passes)
        # The next recording leaves it be, and says so.
        self.assertEqual(self.record_elsewhere(),
                         f"rallix: cannot write the demo {self.demo}: {part} is there already, "
                         "the recording of a game that did not finish (it plays up to where it "
                         "stops): move or remove it to record here\n")
        with open(part, "rb") as left:
            self.assertEqual(left.read(), kept)


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
