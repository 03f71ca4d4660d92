"""End-to-end tests of run-time errors in the real window: the frame loop
traps the first error that reaches it and the game goes on; a second one, or
one in the very first pass, ends the program with its report (one line on
standard error, then a message box over the window) and status 1.

The errors are raised by rallix_launcher, which runs the shipped program's
Main on the SDL platform wrapped so that chosen key snapshots or frame
presentations fail.

Run one test:  fatal_error_test.py --rallix PATH --screen PATH --launcher PATH
                   FatalErrorTest.test_name
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import GameTestCase, run_tests  # noqa: E402

PATHS = GameTestCase.PATHS

OVERFLOW = "rallix: Run-time error '6': Overflow\n"
SUBSCRIPT = "rallix: Run-time error '9': Subscript out of range\n"


class FatalErrorTest(GameTestCase):

    def launch(self, *options):
        return self.start_game("launcher", args=list(options))

    def wait_for_report(self, game, line):
        """The report's line on stderr, then its message box: a second window
        named like the game's. The program waits for the box to go."""
        text = game.wait_for_stderr(lambda text: text != "", timeout=15)
        self.assertEqual(text, line)
        deadline = time.monotonic() + 10
        boxes = []
        while not boxes and time.monotonic() < deadline:
            boxes = [w for w in game.windows_named("^Rallix$") if w != game.window]
            time.sleep(0.05)
        self.assertEqual(len(boxes), 1, "no message box")
        time.sleep(0.3)
        self.assertTrue(game.running(), "the program ended before the box was dismissed")
        return boxes[0]

    def test_a_second_error_ends_the_game_after_its_report_is_dismissed(self):
        # The title reads the keys once a frame: the 20th snapshot's error is
        # trapped, the 40th's ends the program.
        game = self.launch("--fail-snapshots", "20,40")
        box = self.wait_for_report(game, OVERFLOW)
        game.send_key_to(box, "Return")
        self.assertEnds(game, 1, within=10)
        self.assertEqual(game.stderr(), OVERFLOW, "one line, said once")

    def test_the_report_box_may_be_closed_instead(self):
        game = self.launch("--fail-presents", "10,30")
        box = self.wait_for_report(game, SUBSCRIPT)
        game.close_window(box)
        self.assertEnds(game, 1, within=10)

    def test_an_error_in_the_first_pass_is_never_trapped(self):
        game = self.launch("--fail-presents", "1")
        box = self.wait_for_report(game, SUBSCRIPT)
        game.send_key_to(box, "Return")
        self.assertEnds(game, 1, within=10)

    def test_one_trapped_error_leaves_the_game_playing(self):
        game = self.launch("--fail-snapshots", "10")
        same, report = game.wait_for_frame("title")
        self.assertTrue(same, report)
        # Well past the failing snapshot, the menu still answers its keys.
        time.sleep(0.5)
        game.press("Down")
        same, report = game.wait_for_frame("title-config")
        self.assertTrue(same, report)
        self.assertEqual(game.stderr(), "")
        self.assertEqual(game.windows_named("^Rallix$"), [game.window])
        game.close_window()
        self.assertEnds(game, 0, within=10)


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__, {
        "rallix": "the rallix executable (its folder holds the sounds)",
        "screen": "the rallix_screen tool",
        "launcher": "the rallix_launcher program"}))
