"""End-to-end test of what stops the game in the real window: P, and another
window taking the keyboard, freeze a rally where it stands, whatever keys are
held meanwhile, and it goes on from there.

Run:  controls_test.py --rallix PATH --screen PATH --launcher PATH
"""

import math
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import GameTestCase, OtherWindow, run_tests, sanitize  # noqa: E402

PLAYER_ROW = 23
COURT_RIGHT_EDGE = 22 * 16
FRAME_SECONDS = 0.017
BALL_STEP = 8 * math.sqrt(2)  # the farthest the ball goes in a frame


def court_ball(balls):
    """The one place the ball shows in the court, or None."""
    inside = [(x, y) for x, y in balls if x < COURT_RIGHT_EDGE]
    return inside[0] if len(inside) == 1 else None


class ControlsTest(GameTestCase):

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
    def test_p_and_another_window_freeze_the_rally_where_it_stands(self):
        # A rally whose ball crosses the court for ever, so that no point
        # ends it while the test looks.
        game = self.start_game("launcher", args=["endless"])
        self.ball_now(game)
        # P: nothing moves, Left held or not.
        game.press("p")
        game.wait_for_name("Rallix (paused)")
        paddle = game.screen_text()[PLAYER_ROW].find("--+--")
        game.key_down("Left")
        try:
            place = self.assertFrozen(game, "the ball moves while paused")
            self.assertEqual(game.screen_text()[PLAYER_ROW].find("--+--"), paddle,
                             "the paddle moved")
        finally:
            game.key_up("Left")
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
