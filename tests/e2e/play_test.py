"""End-to-end tests of playing and configuring in the real window: "GAME
START" opens the court with both paddles and a moving ball, Left takes the
player's paddle to the wall, and the configuration menu changes the points
per stage and returns to the title.

Run one test:  play_test.py --rallix PATH --screen PATH PlayTest.test_name
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import GameTestCase, run_tests  # noqa: E402

PATHS = harness.PATHS

PLAYER_ROW = 23
COMPUTER_ROW = 1
# The court's playing columns lie between the walls at x 0..15 and 336..351.
COURT_RIGHT_EDGE = 22 * 16


def court_balls(balls):
    """The sightings of the ball inside the court (the status panel's printed
    O's are no ball)."""
    return [(x, y) for x, y in balls if x < COURT_RIGHT_EDGE]


class PlayTest(GameTestCase):

    def setUp(self):
        super().setUp()
        self.game = self.start_game()
        self.game.wait_for_frame("title")

    def start_rally(self):
        self.game.press("space")
        return self.game.wait_for_text(
            lambda lines: "-----" in lines[COMPUTER_ROW] and "--+--" in lines[PLAYER_ROW],
            "both paddles")

    def test_game_start_shows_the_court_with_both_paddles_and_a_moving_ball(self):
        lines = self.start_rally()
        # The paddles where the serve puts them; the computer's does not move
        # while the ball is below row 1, nor the player's without a key.
        self.assertEqual(lines[PLAYER_ROW][12:17], "--+--", "\n".join(lines))
        self.assertEqual(lines[PLAYER_ROW].count("-"), 4)
        self.assertEqual(lines[COMPUTER_ROW][5:10], "-----", "\n".join(lines))
        self.assertEqual(lines[COMPUTER_ROW][:22].count("-"), 5)
        # The walls, but for the two rows a ball passing over one covers:
        # its cells read '?'.
        walls = [lines[row][0] + lines[row][21] for row in range(25)]
        self.assertTrue(all(set(pair) <= set("|?") for pair in walls), walls)
        self.assertGreaterEqual(sum(pair == "||" for pair in walls), 23, walls)
        self.assertEqual(lines[0][22:30], "HI-SCORE")
        self.assertEqual(lines[1][22:30], "   30000")
        self.assertEqual(lines[3][22:30], "       0")
        self.assertNotIn("RALLIX", "".join(lines), "the title is gone")

        # The served ball goes down the court: two looks find it lower.
        seen = []

        def lower(lines, balls):
            balls = court_balls(balls)
            if len(balls) == 1:
                seen.append(balls[0])
            return len(seen) >= 2 and seen[-1][1] > seen[0][1]

        lines, _ = self.game.wait_for_look(lower, "the ball lower down the court")
        second = seen[-1]
        # Where it straddles cells, the text shows '?', where it does not, an O.
        column, row = second[0] // 16, second[1] // 16
        cells = {lines[r][c] for r in (row - 1, row) for c in (column - 1, column)}
        self.assertTrue(cells & {"?", "O"}, f"ball at {second}: {cells}")

    def test_holding_left_takes_the_players_paddle_to_column_1(self):
        self.start_rally()
        lines = self.game.hold_until("Left", lambda lines: lines[PLAYER_ROW][1:7] == "--+-- ",
                                     "the paddle at the left wall")
        self.assertEqual(lines[PLAYER_ROW][:7], "|--+-- ", "\n".join(lines))
        self.assertEqual(lines[PLAYER_ROW].count("-"), 4)
        self.assertTrue(self.game.running())


class ConfigurationTest(GameTestCase):

    def test_set_count_steps_to_6_and_exit_returns_to_the_title(self):
        game = self.start_game()
        game.wait_for_frame("title")
        game.press("Down")
        game.wait_for_frame("title-config")
        game.press("space")
        game.wait_for_frame("config")
        lines = game.screen_text()
        self.assertEqual(lines[10][1:17], "> SET COUNT    5")
        self.assertEqual(lines[20][3:7], "EXIT")

        game.press("space")
        game.wait_for_frame("config-count-6")
        lines = game.screen_text()
        self.assertEqual(lines[10][15:17], " 6")
        self.assertEqual(lines[10][1], ">", "the mark stays on SET COUNT")

        # Up from the first item wraps to EXIT; Space there leaves the menu.
        game.press("Up")
        game.wait_for_frame("config-6-exit")
        game.press("space")
        lines = game.wait_for_text(lambda lines: lines[10][6:12] == "RALLIX", "the title")
        self.assertEqual(lines[13][5:16], ">GAME START", "\n".join(lines))
        self.assertEqual([row for row in range(25) if ">" in lines[row]], [13],
                         "one mark, on GAME START")
        self.assertNotIn("SET COUNT", "".join(lines))
        game.wait_for_frame("title")
        game.close_window()
        self.assertEnds(game, 0)


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
