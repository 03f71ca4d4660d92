"""End-to-end test of a whole lost game in the real window, with its sounds:
from the title into a game, a rally in which the paddle, steered by held
keys, returns the ball, then five misses that give the computer the stage,
"GAME OVER", Space back to the title and "QUIT GAME".

The test sees what a player sees: it reads every capture of the window as
text (each cell compared pixel for pixel with the glyph sheet) and finds the
ball's pixels, and it steers by predicting where the ball will come down.
It hears what the player hears: the game's audio goes to SDL's disk driver,
and afterwards the four sounds are found in that recording (see
SoundFinder); each must lie between the right misses.

Run:  game_end_test.py --rallix PATH --screen PATH --audio PATH
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import GameTestCase, SoundFinder, run_tests  # noqa: E402

PATHS = harness.PATHS

# The court, in pixels: the ball is turned back by a wall when its next x
# would leave 16..335, and struck by the player's paddle as it reaches y 368.
WALL_LEFT, WALL_RIGHT = 16, 336
PADDLE_Y = 368
# A ball that reaches y 400 is missed. The frame of the miss still shows it
# there, with the new score; the serve then puts it back at the top.
MISS_Y = 400
PLAYER_ROW = 23
PADDLE_WIDTH = 5  # columns, the default paddle "--+--"
PADDLE_MAX_COLUMN = 16
COURT_RIGHT_EDGE = 22 * 16
SET_COUNT = 5
# The game's frame: one pass at least every 17 ms.
FRAME_SECONDS = 0.017
# The paddle only tries to return balls coming down at least this far from
# the walls: its "pon.WAV" then plays for several frames before any wall can
# replace it with "pin.WAV".
RETURN_RANGE = (64, 288)


def fold_into_court(x):
    """Where a ball headed for `x` lands once the walls have turned it back."""
    width = WALL_RIGHT - WALL_LEFT
    u = (x - WALL_LEFT) % (2 * width)
    return WALL_LEFT + (u if u <= width else 2 * width - u)


def landing_x(earlier, later):
    """Where the ball seen at `earlier`, then at `later`, reaches the player's
    paddle row; None when it is not coming down."""
    (x1, y1), (x2, y2) = earlier, later
    if y2 <= y1:
        return None
    return fold_into_court(x2 + (x2 - x1) / (y2 - y1) * (PADDLE_Y - y2))


def paddle_column_for(x):
    """The paddle column whose hit span is centred on x."""
    span_centre = (PADDLE_WIDTH * 16 + 15) / 2
    return min(max(round((x - span_centre) / 16), 1), PADDLE_MAX_COLUMN)


class Look:
    """One capture of the window, read."""

    def __init__(self, lines, balls):
        self.when = time.monotonic()
        self.lines = lines
        self.game_over = lines[12][6:15] == "GAME OVER"
        court = [(x, y) for x, y in balls if x < COURT_RIGHT_EDGE]
        self.ball = court[0] if len(court) == 1 and not self.game_over else None
        self.com = self._count(lines[8][25:30])
        self.player = self._count(lines[16][25:30])
        plus = lines[PLAYER_ROW].find("+")
        self.paddle = plus - 2 if plus >= 3 else None

    @staticmethod
    def _count(text):
        return int(text) if text.strip().isdigit() else None

    def same_rally_as(self, other):
        """Both looks see the ball in play with the same score: no point was
        scored between them, so the ball went on on its way."""
        return (other is not None and self.ball is not None and other.ball is not None
                and self.ball[1] < MISS_Y and other.ball[1] < MISS_Y
                and (self.com, self.player) == (other.com, other.player))


class RallyLog:
    """What the looks showed of each stretch between two misses, by the
    computer's points during the stretch: returns and wall bounces."""

    def __init__(self):
        self.returns = set()
        self.bounces = set()

    def note(self, before_last, last, now):
        if now.same_rally_as(last) and now.ball[1] < last.ball[1]:
            # Every serve goes down: a ball going up was returned.
            self.returns.add(now.com)
        if now.same_rally_as(last) and last.same_rally_as(before_last):
            (x0, y0), (x1, y1), (x2, y2) = before_last.ball, last.ball, now.ball
            same_way_down_or_up = (y1 - y0) * (y2 - y1) > 0
            turned = (x1 - x0) * (x2 - x1) < 0 and abs(x1 - x0) >= 2 and abs(x2 - x1) >= 2
            if same_way_down_or_up and turned:
                self.bounces.add(now.com)


class Steering:
    """Moves the player's paddle with held Left and Right keys: under the
    ball while a return is wanted, well away from it otherwise.

    It steers only by three looks at a ball coming down that went the same
    way across both gaps: two looks on either side of a wall bounce point the
    wrong way, and a paddle sent to the far end by them may not get back in
    time. A held key moves the paddle a column a frame: each look holds Left
    or Right for the frames the columns still to go take, no longer, so a
    game that runs late (a busy machine) moves it short, never past, and the
    next look steers again until the paddle is seen where wanted."""

    def __init__(self, game):
        self.game = game
        self.holds = 0

    def steer(self, before_last, last, now, want_return):
        if not (now.same_rally_as(last) and last.same_rally_as(before_last)):
            return
        if now.paddle is None:
            return
        (x0, y0), (x1, y1), (x2, y2) = before_last.ball, last.ball, now.ball
        if not y0 < y1 < y2 or (x1 - x0) * (x2 - x1) < 0:
            return
        if (x1 == x0) != (x2 == x1):
            return  # stopped against a wall on one of the gaps
        # The widest gap gives the steadiest direction.
        landing = landing_x(before_last.ball, now.ball)
        if want_return:
            if not RETURN_RANGE[0] <= landing <= RETURN_RANGE[1]:
                return  # not worth a return: stay put for the next ball
            target = paddle_column_for(landing)
        else:
            # The far end: its span misses the landing point by 70 pixels.
            target = PADDLE_MAX_COLUMN if landing < (WALL_LEFT + WALL_RIGHT) / 2 else 1
        columns = target - now.paddle
        if columns != 0:
            self.game.hold_for("Right" if columns > 0 else "Left",
                               (abs(columns) - 0.5) * FRAME_SECONDS)
            self.holds += 1


class WholeGameTest(GameTestCase):
    # It steers against the game's clock: alone, so that no other test takes
    # the cores it needs to look at the screen in time.
    SERIAL = True
    TIMEOUT = 120

    def look(self, game):
        return Look(*game.look())

    def play_until_game_over(self, game, timeout=60):
        """Looks and steers until "GAME OVER"; fails at once when the screen
        stands still for WAIT_SECONDS (the ball always moves in a rally)."""
        log = RallyLog()
        steering = Steering(game)
        before_last = last = None
        deadline = harness.deadline_after(timeout)
        stillness = harness.Stillness()
        while time.monotonic() < deadline:
            now = self.look(game)
            if now.game_over:
                return log, steering, now
            stillness.note((now.lines, now.ball), lambda seen: "\n".join(seen[0]))
            if now.ball is not None:
                log.note(before_last, last, now)
                steering.steer(before_last, last, now, want_return=not log.returns)
                before_last, last = last, now
        self.fail(f"no GAME OVER within {timeout * harness.TIME_FACTOR:g} s; "
                  f"returns {log.returns}")

    def test_a_lost_game_from_the_title_to_quit_game_with_its_sounds(self):
        game = self.start_game()
        game.wait_for_frame("title")
        game.press("space")
        lines = game.wait_for_text(lambda lines: "--+--" in lines[PLAYER_ROW], "the paddle")
        self.assertEqual(lines[8][25:30], "    0")

        log, steering, end = self.play_until_game_over(game)
        text = "\n".join(end.lines)
        self.assertGreater(steering.holds, 0, "the paddle was never steered")
        self.assertTrue(log.returns, "the paddle never returned the ball")
        self.assertEqual(end.lines[15][4:18], "PUSH SPACE KEY", text)
        self.assertEqual(end.com, SET_COUNT, text)
        player_points = end.player
        self.assertLess(player_points, SET_COUNT, text)
        self.assertEqual(end.lines[3][22:30], f"{100 * player_points:8d}", text)

        # Space: the title, with the finished game's panel.
        game.press("space")
        lines = game.wait_for_text(lambda lines: lines[10][6:12] == "RALLIX", "the title")
        text = "\n".join(lines)
        self.assertEqual(lines[13][5:16], ">GAME START", text)
        self.assertEqual(lines[8][25:30], "    5", text)
        self.assertEqual(lines[16][25:30], f"{player_points:5d}", text)
        self.assertEqual(lines[1][22:30], "   30000", text)
        self.assertNotIn("GAME OVER", text)
        self.assertNotIn("?", text, "every cell shows a glyph exactly")

        game.press("Up")
        lines = game.wait_for_text(lambda lines: lines[17][5:15] == ">QUIT GAME",
                                   "the mark on QUIT GAME")
        self.assertEqual(lines[13][5], " ")
        game.press("space")
        self.assertEnds(game, 0)

        self.check_sounds(game, log, player_points)

    def check_sounds(self, game, log, player_points):
        finder = SoundFinder(PATHS["audio"], game.cwd)
        heard = finder.find(game.audio_recording(), *harness.SOUNDS)
        summary = f"heard {heard}; returns while the computer had {sorted(log.returns)}, " \
                  f"bounces {sorted(log.bounces)}"
        print(summary)
        # Every miss played its sound whole, the game waiting for it; so did
        # every point of the player's.
        misses = [h for h in heard if h.name == "pupu.WAV"]
        self.assertEqual(len(misses), SET_COUNT, summary)
        self.assertTrue(all(h.whole for h in misses), summary)
        points = [h for h in heard if h.name == "pipopin.WAV"]
        self.assertEqual(len(points), player_points, summary)
        self.assertTrue(all(h.whole for h in points), summary)

        # The stretches of the recording between the misses: stretch c is
        # what was played while the computer had c points. The looks tell
        # which stretches held a return or a wall bounce.
        bounds = [0] + [h.frame for h in misses] + [float("inf")]

        def in_stretch(name, com):
            return [h for h in heard
                    if h.name == name and bounds[com] < h.frame < bounds[com + 1]]

        for com in range(SET_COUNT):
            pons = in_stretch("pon.WAV", com)
            if com in log.returns:
                # A paddle's sound, unless a wall's replaced it before the
                # sound device took it: a ball struck beside a wall is turned
                # back by the wall in the same frame or the next one, less
                # than one of the device's buffers later.
                self.assertTrue(pons or in_stretch("pin.WAV", com),
                                f"no pon.WAV for the return at {com}; {summary}")
            else:
                # Only a paddle plays it, and no paddle struck the ball.
                self.assertFalse(pons, f"pon.WAV without a return at {com}; {summary}")
            if com in log.bounces:
                # A wall's sound, unless a paddle's replaced it at once.
                self.assertTrue(in_stretch("pin.WAV", com) or pons,
                                f"no pin.WAV for the bounce at {com}; {summary}")
        if log.bounces:
            self.assertTrue(any(h.name == "pin.WAV" for h in heard), summary)
        # After the last miss: the game-over screen and the title are silent.
        self.assertEqual([h for h in heard if h.frame > misses[-1].frame], [], summary)


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
