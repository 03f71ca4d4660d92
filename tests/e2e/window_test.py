"""End-to-end tests of the game's window: the real rallix executable under a
private Xvfb, driven with xdotool and looked at with xwd.

Run one test:  window_test.py --rallix PATH --screen PATH WindowTest.test_name
"""

import os
import signal
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Game, XServer, game_environment, run_tests, sanitize  # noqa: E402

PATHS = harness.PATHS


class WindowTest(unittest.TestCase):
    """Each test starts its own X server and game."""

    def setUp(self):
        self.x = XServer()
        self.x.__enter__()
        self.addCleanup(self.x.__exit__, None, None, None)
        self.game = Game(PATHS["rallix"], PATHS["screen"], display=self.x.display)
        self.addCleanup(self.game.stop)
        self.game.start()
        self.game.find_window()

    def assertEnds(self, status_wanted=0, within=harness.WAIT_SECONDS):
        status = self.game.wait(timeout=within)
        self.assertIsNotNone(status, f"the game still runs {within * harness.TIME_FACTOR:g} s "
                             "later")
        self.assertEqual(status, status_wanted, f"stderr: {self.game.stderr()!r}")

    def test_window_is_named_rallix_with_a_640_by_480_client_area(self):
        self.assertEqual(self.game.window_name(), "Rallix")
        self.assertEqual(self.game.client_size(), (640, 480))
        # Centred on the 1024 x 768 screen, not resizable, with its icon.
        self.assertEqual(self.game.position(), ((1024 - 640) // 2, (768 - 480) // 2))
        hints = self.game.properties("WM_NORMAL_HINTS")
        self.assertIn("minimum size: 640 by 480", hints)
        self.assertIn("maximum size: 640 by 480", hints)
        icons = self.game.properties("_NET_WM_ICON")
        self.assertIn("Icon (32 x 32)", icons)
        self.assertIn("Icon (16 x 16)", icons)
        self.assertTrue(self.game.running())

    @sanitize
    def test_title_screen_equals_the_headless_frame_and_reads_as_the_menu(self):
        self.game.wait_for_frame("title")
        lines = self.game.screen_text()
        self.assertEqual(len(lines), 30)
        self.assertTrue(all(len(line) == 40 for line in lines))
        self.assertEqual(lines[10][6:12], "RALLIX")
        self.assertEqual(lines[13][5:16], ">GAME START")
        self.assertEqual(lines[15][6:12], "CONFIG")
        self.assertEqual(lines[17][6:15], "QUIT GAME")

    @sanitize
    def test_uncovered_window_shows_the_last_frame_while_paused(self):
        self.game.wait_for_frame("title")
        self.game.press("Down")
        self.game.wait_for_frame("title-config")
        self.game.focus_elsewhere()
        self.game.sync()  # the game has seen the focus go: it pauses
        self.game.hide_and_show()
        self.game.wait_for_frame("title-config")
        self.assertTrue(self.game.running())

    def test_down_down_space_quits_at_once_with_status_0(self):
        self.game.wait_for_frame("title")
        self.game.press("Down")
        self.game.wait_for_frame("title-config")
        self.game.press("Down")
        self.game.wait_for_frame("title-quit")
        self.game.press("space")
        self.assertEnds(0)

    def test_resized_from_outside_during_a_rally_the_game_plays_on(self):
        self.game.wait_for_frame("title")
        self.game.press("space")
        self.game.wait_for_text(lambda lines: "--+--" in lines[23], "the player's paddle")
        # Narrower, smaller and lower than the picture, then larger, then back:
        # the game takes in each size before the next.
        for size in ((200, 480), (100, 100), (640, 200), (800, 600), (640, 480)):
            self.game.resize(*size)
            self.game.sync()
            self.assertTrue(self.game.running(), f"ended at {size}: {self.game.stderr()!r}")
        # Frames still come: the ball is seen in more than one place.
        self.game.wait_for_ball_moving()
        self.game.close_window()
        self.assertEnds(0)

    @sanitize
    def test_closing_the_window_ends_the_game_with_status_0(self):
        self.game.wait_for_frame("title")
        self.game.close_window()
        self.assertEnds(0)

    def test_sigterm_ends_the_game_with_status_0(self):
        self.game.send_signal(signal.SIGTERM)
        self.assertEnds(0)

    def test_sigint_ends_the_game_with_status_0(self):
        self.game.send_signal(signal.SIGINT)
        self.assertEnds(0)


class NoDisplayTest(unittest.TestCase):
    """Without a display the game says so in one line and fails."""

    def run_without_display(self, display, mentioned):
        game = Game(PATHS["rallix"], PATHS["screen"])
        self.addCleanup(game.stop)
        env = game_environment(game.folder)
        env.pop("DISPLAY", None)
        if display is not None:
            env["DISPLAY"] = display
        game.env = env
        game.start()
        status = game.wait(timeout=10)
        self.assertEqual(status, 1, f"stderr: {game.stderr()!r}")
        lines = game.stderr().splitlines()
        self.assertEqual(len(lines), 1, f"stderr: {lines!r}")
        self.assertTrue(lines[0].startswith("rallix: cannot open a window: "), lines[0])
        self.assertIn(mentioned, lines[0])

    def test_no_display_set(self):
        self.run_without_display(None, "neither DISPLAY nor WAYLAND_DISPLAY is set")

    def test_display_pointing_nowhere(self):
        # A display number no X server listens on (Xvfb's lock files say which
        # are taken; the highest ones are never used by a test).
        self.run_without_display(":65533", "DISPLAY=:65533")


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
