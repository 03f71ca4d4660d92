"""End-to-end tests of the controls in the real window: key taps shorter
than a frame, a gamepad plugged in while the game runs (SDL's virtual pad
inside the game's process, worked through rallix_launcher --virtual-pad),
P to pause, and another window taking the keyboard away during a rally.

Run one test:  controls_test.py --rallix PATH --screen PATH --launcher PATH ControlsTest.test_name
"""

import math
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import GameTestCase, OtherWindow, run_tests  # noqa: E402

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
        lines = game.wait_for_text(lambda lines: lines[MENU_ROWS[item]][5] == ">")
        self.assertEqual(lines[MENU_ROWS[item]][5], ">", f"the mark is not on item {item}")

    def ball_now(self, game, timeout=5):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            ball = court_ball(game.look()[1])
            if ball is not None:
                return ball
        self.fail("no ball in the court")

    def assertFrozen(self, game, why):
        """The ball stands still for half a second."""
        first = self.ball_now(game)
        time.sleep(0.5)
        self.assertEqual(self.ball_now(game), first, why)
        return first

    def assertGoesOnFrom(self, game, place, since):
        """The ball moves on from `place`: it is first seen again no farther
        from it than the frames since `since` could take it."""
        moved = self.ball_now(game)
        frames = (time.monotonic() - since) / FRAME_SECONDS + 2
        self.assertLessEqual(math.dist(moved, place), BALL_STEP * frames,
                             f"from {place} to {moved} in {frames:.0f} frames")
        deadline = time.monotonic() + 5
        while moved == place and time.monotonic() < deadline:
            moved = self.ball_now(game)
        self.assertNotEqual(moved, place, "the ball does not go on")

    def test_key_and_pad_taps_count_once_a_pad_plays_and_p_pauses(self):
        game = self.start_game("launcher", args=["--virtual-pad"], commands=True)
        self.wait_for_mark(game, 0)
        # A key down and up again at once, far shorter than a frame: each tap
        # moves the mark one item, every time.
        for tap in range(1, 9):
            game.tap("Down")
            self.wait_for_mark(game, tap % 3)
        time.sleep(0.1)
        self.wait_for_mark(game, 8 % 3)
        # The pad: a D-pad tap between two frames, then A starts a game.
        game.tell("tap down")
        self.wait_for_mark(game, 0)
        game.tell("tap a")
        lines = game.wait_for_text(lambda lines: "--+--" in lines[PLAYER_ROW])
        self.assertEqual(lines[PLAYER_ROW][12:17], "--+--", "\n".join(lines))
        # The stick held left takes the paddle to the wall.
        game.tell("stick -32768 0")
        lines = game.wait_for_text(lambda lines: lines[PLAYER_ROW][1:6] == "--+--")
        game.tell("stick 0 0")
        self.assertEqual(lines[PLAYER_ROW][1:6], "--+--", "\n".join(lines))

        # P: the rally stands still, whatever the pad does meanwhile.
        game.tap("p")
        self.assertEqual(game.wait_for_name("Rallix (paused)"), "Rallix (paused)")
        game.tell("press right")
        place = self.assertFrozen(game, "the ball moves while paused")
        self.assertEqual(game.screen_text()[PLAYER_ROW][1:6], "--+--", "the paddle moved")
        game.tell("release right")
        # P again: the ball goes on from where it stood.
        resumed = time.monotonic()
        game.tap("p")
        self.assertGoesOnFrom(game, place, resumed)
        self.assertEqual(game.window_name(), "Rallix")

        # Unplugged while holding right, the pad lets go of it.
        game.tell("press right")
        lines = game.wait_for_text(lambda lines: lines[PLAYER_ROW][1:6] != "--+--")
        self.assertNotEqual(lines[PLAYER_ROW][1:6], "--+--", "the pad does not move the paddle")
        game.tell("unplug")
        time.sleep(0.1)
        stopped_at = game.screen_text()[PLAYER_ROW].find("--+--")
        time.sleep(0.2)
        self.assertEqual(game.screen_text()[PLAYER_ROW].find("--+--"), stopped_at,
                         "the paddle still moves")
        self.assertLess(stopped_at, 16, "the paddle went on to the wall")
        self.assertTrue(game.running(), game.stderr())

    def test_another_window_taking_the_keyboard_freezes_the_rally(self):
        game = self.start_game()
        game.wait_for_frame("title")
        game.press("space")
        game.wait_for_text(lambda lines: "--+--" in lines[PLAYER_ROW])
        self.ball_now(game)
        with OtherWindow(self.x.display) as other:
            game.focus(other.id)
            place = self.assertFrozen(game, "the ball moves while another window has the keyboard")
            resumed = time.monotonic()
            game.focus()
            self.assertGoesOnFrom(game, place, resumed)


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__, {"rallix": "the rallix executable",
                                           "screen": "the rallix_screen tool",
                                           "launcher": "the rallix_launcher program"}))
