"""End-to-end tests of run-time errors in the real window: the frame loop
traps the first error that reaches it and the game goes on; a second one, or
one in the very first pass, ends the program with its report (one line on
standard error, then a message box over the window) and status 1, whatever
standard error is; the box goes with the program, and a signal while it is
up ends the program with that status.

The errors are raised by rallix_launcher, which runs the shipped program's
Main on the SDL platform wrapped so that chosen key snapshots or frame
presentations fail.

Run one test:  fatal_error_test.py --rallix PATH --screen PATH --launcher PATH
                   FatalErrorTest.test_name
"""

import os
import signal
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import GameTestCase, run_tests, sanitize  # noqa: E402

PATHS = harness.PATHS

OVERFLOW = "rallix: Run-time error '6': Overflow\n"
SUBSCRIPT = "rallix: Run-time error '9': Subscript out of range\n"


class FatalErrorTest(GameTestCase):

    def launch(self, *options, stderr="file"):
        return self.start_game("launcher", args=list(options), stderr=stderr)

    def wait_for_report(self, game, line):
        """The report's line on stderr (unless `line` is None), then its
        message box: a second window named like the game's. The program
        waits for the box to go."""
        if line is not None:
            text = game.wait_for_stderr(lambda text: text != "", "the report")
            self.assertEqual(text, line)

        box, = harness.wait_for(
            "the message box",
            lambda: [w for w in game.windows_named("^Rallix$") if w != game.window],
            lambda found: len(found) == 1, gone=game.gone)
        self.assertIsNone(game.wait(timeout=0.3),
                          "the program ended before the box was dismissed")
        return box

    def assertBoxGoes(self, game, box):
        harness.wait_for("the box to go with the game", lambda: game.windows_named("^Rallix$"),
                         lambda windows: box not in windows)

    @sanitize
    def test_a_second_error_ends_the_game_once_its_report_is_dismissed_or_closed(self):
        # The title reads the keys and shows a frame once a pass: the 20th
        # snapshot's or 10th frame's error is trapped, the 40th's or 30th's
        # ends the program.
        for options, line, dismiss in (
                (("--fail-snapshots", "20,40"), OVERFLOW,
                 lambda game, box: game.send_key_to(box, "Return")),
                (("--fail-presents", "10,30"), SUBSCRIPT,
                 lambda game, box: game.close_window(box))):
            game = self.launch(*options)
            dismiss(game, self.wait_for_report(game, line))
            self.assertEnds(game, 1)
            self.assertEqual(game.stderr(), line, "one line, said once")

    def test_with_standard_error_closed_or_a_pipe_nobody_reads_the_report_still_shows(self):
        # The first pass's error is never trapped.
        for stderr in ("closed", "broken"):
            game = self.launch("--fail-presents", "1", stderr=stderr)
            box = self.wait_for_report(game, None)
            game.send_key_to(box, "Return")
            self.assertEnds(game, 1)

    def test_the_box_goes_with_a_killed_game_and_sigterm_ends_it_with_the_errors_status(self):
        for number, status in ((signal.SIGKILL, -signal.SIGKILL), (signal.SIGTERM, 1)):
            game = self.launch("--fail-presents", "1")
            box = self.wait_for_report(game, SUBSCRIPT)
            game.send_signal(number)
            self.assertEnds(game, status)
            self.assertBoxGoes(game, box)

    @sanitize
    def test_one_trapped_error_leaves_the_game_playing(self):
        game = self.launch("--fail-snapshots", "10")
        game.wait_for_frame("title")
        # The menu answers its keys, before the failing snapshot and well
        # past it: a held key moves the mark in the first frame that sees it
        # (a failing snapshot only puts that off by a frame), and Down and Up
        # in turn take one more snapshot each.
        for _ in range(6):
            game.key_down("Down")
            try:
                game.wait_for_frame("title-config")
            finally:
                game.key_up("Down")
            game.key_down("Up")
            try:
                game.wait_for_frame("title")
            finally:
                game.key_up("Up")
        self.assertEqual(game.stderr(), "")
        self.assertEqual(game.windows_named("^Rallix$"), [game.window])
        game.close_window()
        self.assertEnds(game, 0)


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
