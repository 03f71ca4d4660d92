"""End-to-end tests of the game's window: the real rallix executable under a
private Xvfb, driven with xdotool and looked at through rallix_screen grab.

Run one test:  window_test.py --rallix PATH --screen PATH WindowTest.test_name
"""

import os
import signal
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Game, GameTestCase, run_tests, sanitize  # noqa: E402

PATHS = harness.PATHS


class WindowTest(GameTestCase):

    def setUp(self):
        super().setUp()
        self.game = self.start_game()

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

    @sanitize
    def test_closing_the_window_ends_the_game_with_status_0(self):
        self.game.wait_for_frame("title")
        self.game.close_window()
        self.assertEnds(self.game, 0)

    def test_sigterm_and_sigint_end_the_game_with_status_0(self):
        self.game.send_signal(signal.SIGTERM)
        self.assertEnds(self.game, 0)
        game = self.start_game()
        game.send_signal(signal.SIGINT)
        self.assertEnds(game, 0)


class NoDisplayTest(unittest.TestCase):

    def test_without_a_display_the_game_says_so_in_one_line_and_fails(self):
        # A display number no X server listens on (Xvfb's lock files say which
        # are taken; the highest ones are never used by a test).
        for display, mentioned in ((None, "neither DISPLAY nor WAYLAND_DISPLAY is set"),
                                   (":65533", "DISPLAY=:65533")):
            game = Game(PATHS["rallix"], PATHS["screen"])
            self.addCleanup(game.stop)
            game.env.pop("DISPLAY", None)
            if display is not None:
                game.env["DISPLAY"] = display
            game.start()
            self.assertEqual(game.wait(timeout=10), 1, f"stderr: {game.stderr()!r}")
            lines = game.stderr().splitlines()
            self.assertEqual(len(lines), 1, f"stderr: {lines!r}")
            self.assertTrue(lines[0].startswith("rallix: cannot open a window: "), lines[0])
            self.assertIn(mentioned, lines[0])


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
