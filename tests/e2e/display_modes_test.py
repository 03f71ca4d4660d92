"""End-to-end tests of the ways the picture is shown, on a 1920 x 1080
screen: a window twice the size, shrunk from outside during a rally, and the
whole screen and back with Alt+Enter and F11. In every
mode the picture is the game's own, each pixel an exact block. The whole
screen is tried with a window manager, as on a desktop, which makes the
window fullscreen when asked, and without one, where the game must place
the window itself; without one too, nothing stops the window being sized
from outside.

Run one test:  display_modes_test.py --rallix PATH --screen PATH DesktopTest.test_name
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import GameTestCase, run_tests, sanitize  # noqa: E402

PLAYER_ROW = 23
COURT_RIGHT_EDGE = 22 * 16


class PictureTestCase(GameTestCase):
    """Where the picture shows, on a 1920 x 1080 screen."""
    SCREEN = (1920, 1080)

    def assertShows(self, game, situation, picture):
        game.picture = picture
        game.wait_for_frame(situation)

    def assertBallMoves(self, game, picture):
        """The ball is seen in two places of the court, with the picture where
        `picture` says (once the window has repainted after a change)."""
        game.picture = picture
        game.wait_for_ball_moving(inside=lambda place: place[0] < COURT_RIGHT_EDGE)

    def check_fullscreen_and_back(self):
        """--fullscreen fills the screen at 2x, centred; Alt+Enter goes back
        to the 640 x 480 window and F11 to the whole screen again."""
        game = self.start_game(args=["--fullscreen"])
        game.wait_for_size((1920, 1080))
        self.assertEqual(game.position(), (0, 0))
        # 1920 x 1080 holds 2 x 640 by 2 x 480; black bars around it.
        self.assertShows(game, "title", (2, 320, 60))
        game.press("Down")
        self.assertShows(game, "title-config", (2, 320, 60))

        game.press("alt+Return")
        game.wait_for_size((640, 480))
        self.assertShows(game, "title-config", (1, 0, 0))

        game.press("F11")
        game.wait_for_size((1920, 1080))
        self.assertShows(game, "title-config", (2, 320, 60))
        self.assertTrue(game.running())


class BareScreenTest(PictureTestCase):
    """An X server with no window manager: nothing stops the window being
    sized from outside, and the game must fill the screen itself."""

    def test_scale_2_is_a_fixed_window_of_2_by_2_blocks_that_plays_on_when_shrunk(self):
        game = self.start_game(args=["--scale", "2"])
        self.assertEqual(game.client_size(), (1280, 960))
        hints = game.properties("WM_NORMAL_HINTS")
        self.assertIn("minimum size: 1280 by 960", hints)
        self.assertIn("maximum size: 1280 by 960", hints)
        # Downscaled by 2, the capture is the 1x title frame pixel for pixel.
        self.assertShows(game, "title", (2, 0, 0))
        game.press("ctrl+space")  # held with a key the game leaves alone, still Space
        game.wait_for_text(lambda lines: "--+--" in lines[PLAYER_ROW], "the player's paddle")
        # Sized from outside during the rally, smaller than 2x: the picture
        # at 1x in the middle; smaller than the picture itself: cut off, and
        # still running once the game has taken in the size.
        game.resize(1000, 700)
        self.assertBallMoves(game, (1, 180, 110))
        game.resize(300, 200)
        game.sync()
        self.assertTrue(game.running(), game.stderr())
        game.resize(1280, 960)
        self.assertBallMoves(game, (2, 0, 0))
        game.close_window()
        self.assertEnds(game, 0)

    def test_fullscreen_without_a_window_manager_too(self):
        self.check_fullscreen_and_back()


class DesktopTest(PictureTestCase):
    """A window manager on the screen, as on a desktop: it makes the window
    fullscreen when the game asks."""
    WINDOW_MANAGER = True

    @sanitize
    def test_fullscreen_at_2x_centred_then_alt_enter_and_f11_switch(self):
        self.check_fullscreen_and_back()

if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
