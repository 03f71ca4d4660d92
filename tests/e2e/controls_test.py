"""End-to-end tests of the controls in the real window: key taps shorter
than a frame, a gamepad plugged in while the game runs (SDL's virtual pad
inside the game's process, worked through rallix_launcher --virtual-pad),
and P and another window taking the keyboard away during a rally.

Run one test:  controls_test.py --rallix PATH --screen PATH --launcher PATH ControlsTest.test_name
"""

import math
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import GameTestCase, OtherWindow, run_tests, sanitize  # noqa: E402

PLAYER_ROW = 23
MENU_ROWS = (13, 15, 17)  # GAME START, CONFIG, QUIT GAME
COURT_RIGHT_EDGE = 22 * 16
FRAME_SECONDS = 0.017
BALL_STEP = 8 * math.sqrt(2)  # the farthest the ball goes in a frame


def court_ball(balls):
    """The one place the ball shows in the court, or None."""
    inside = [(x, y) for x, y in balls if x < COURT_RIGHT_EDGE]
    return inside[0] if len(inside) == 1 else None


class ControlsTest(GameTestCase):

    def wait_for_mark(self, game, item):
        game.wait_for_text(lambda lines: lines[MENU_ROWS[item]][5] == ">",
                           f"the mark on item {item}")

    def ball_now(self, game):
        _, balls = game.wait_for_look(lambda lines, balls: court_ball(balls) is not None,
                                      "the ball in the court")
        return court_ball(balls)

    def assertFrozen(self, game, why):
        """Once the game has seen what happened, the ball stands still: for
        half a second it is seen where it stood."""
        game.sync()
        place = self.ball_now(game)
        for _ in range(5):
            time.sleep(0.1)
            self.assertEqual(self.ball_now(game), place, why)
        return place

    def assertGoesOnFrom(self, game, place, since):
        """The ball moves on from `place`: it is first seen again no farther
        from it than the frames since `since` could take it."""
        moved = self.ball_now(game)
        frames = (time.monotonic() - since) / FRAME_SECONDS + 2
        self.assertLessEqual(math.dist(moved, place), BALL_STEP * frames,
                             f"from {place} to {moved} in {frames:.0f} frames")
        game.wait_for_look(lambda lines, balls: court_ball(balls) not in (None, place),
                           "the ball going on")

    @sanitize
    def test_key_and_pad_taps_count_once_and_a_pad_plugged_in_plays(self):
        game = self.start_game("launcher", args=["--virtual-pad"], commands=True)
        self.wait_for_mark(game, 0)
        # A key down and up again at once, far shorter than a frame: each tap
        # moves the mark one item, every time.
        for tap in range(1, 9):
            game.press("Down")
            self.wait_for_mark(game, tap % 3)
        # Once each: Up, seen in a later frame, takes the mark back one item.
        game.press("Up")
        self.wait_for_mark(game, 7 % 3)
        # The pad: a D-pad tap between two frames, then A starts a game.
        game.tell("tap up")
        self.wait_for_mark(game, 0)
        game.tell("tap a")
        lines = game.wait_for_text(lambda lines: "--+--" in lines[PLAYER_ROW], "the paddle")
        self.assertEqual(lines[PLAYER_ROW][12:17], "--+--", "\n".join(lines))
        # The stick held left takes the paddle to the wall.
        game.tell("stick -32768 0")
        game.wait_for_text(lambda lines: lines[PLAYER_ROW][1:6] == "--+--",
                           "the paddle at the left wall")
        game.tell("stick 0 0")
        # Unplugged while holding right, the pad lets go of it: held against
        # the keyboard's Left, the paddle stands until the pad goes, then
        # follows Left to the wall.
        game.tell("press right")
        game.wait_for_text(lambda lines: lines[PLAYER_ROW][16:21] == "--+--",
                           "the paddle at the right wall")
        game.key_down("Left")
        try:
            game.tell("unplug")
            game.wait_for_text(lambda lines: lines[PLAYER_ROW][1:6] == "--+--",
                               "the paddle at the left wall: the unplugged pad lets Right go")
        finally:
            game.key_up("Left")
        self.assertTrue(game.running(), game.stderr())

    @sanitize
    def test_p_and_another_window_freeze_the_rally_where_it_stands(self):
        # A rally whose ball crosses the court forever, so that no point
        # ends it while the test looks.
        game = self.start_game("launcher", args=["endless", "--virtual-pad"], commands=True)
        self.ball_now(game)
        # P: nothing moves, whatever the pad does meanwhile.
        game.press("p")
        game.wait_for_name("Rallix (paused)")
        paddle = game.screen_text()[PLAYER_ROW].find("--+--")
        game.tell("press left")
        place = self.assertFrozen(game, "the ball moves while paused")
        self.assertEqual(game.screen_text()[PLAYER_ROW].find("--+--"), paddle, "the paddle moved")
        game.tell("release left")
        # P again: the ball goes on from where it stood.
        resumed = time.monotonic()
        game.press("p")
        self.assertGoesOnFrom(game, place, resumed)
        self.assertEqual(game.window_name(), "Rallix")
        # Another window takes the keyboard: the same, until it is given back.
        with OtherWindow(self.x.display) as other:
            game.focus(other.id)
            place = self.assertFrozen(game, "the ball moves while another window has the keyboard")
            resumed = time.monotonic()
            game.focus()
            self.assertGoesOnFrom(game, place, resumed)

if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
