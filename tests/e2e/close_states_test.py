"""End-to-end tests of closing the window: in every one of the game's seven
states the program ends at once with status 0, and so does a close request
or SIGTERM while the miss sound plays, however long the sound.

The states that last one frame (the new game, the serve) and the screens
that take a win or a lost game to reach are set up by rallix_launcher, which
runs the real game on the real SDL platform from a prepared game and says in
which state it was closed; the title, the configuration menu and the rally
are reached there with key presses from the title, as a player would.

Run one test:  close_states_test.py --rallix PATH --screen PATH --launcher PATH
                   --audio PATH CloseTest.test_name
"""

import os
import re
import shutil
import signal
import sys
import tempfile
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import GameTestCase, SoundFinder, run_tests, sanitize  # noqa: E402

PATHS = harness.PATHS

# How long the program may take to end once the window is closed (times
# the build's time factor): far more than it needs (it ends in the next
# pass), only a bound against hanging, and far less than the minute the
# long miss sound would hold it.
END_WITHIN = harness.WAIT_SECONDS


class CloseTest(GameTestCase):

    def assertClosedInState(self, game, state):
        game.close_window()
        self.assertEnds(game, 0, within=END_WITHIN)
        said = re.fullmatch(r"closed in state (\d+) after (\d+) passes\n", game.stdout())
        self.assertIsNotNone(said, f"stdout: {game.stdout()!r}")
        self.assertEqual(int(said.group(1)), state)
        self.assertEqual(game.stderr(), "")

    def test_closing_the_window_in_each_state_ends_the_game_with_status_0(self):
        def title(game):
            game.wait_for_frame("title")

        def rally(game):
            title(game)
            game.press("space")
            # Both paddles, once the served ball has left the computer's row.
            game.wait_for_text(lambda lines: "--+--" in lines[23] and "-----" in lines[1],
                               "both paddles")

        def configuration(game):
            title(game)
            game.press("Down")
            game.wait_for_frame("title-config")
            game.press("space")
            game.wait_for_frame("config")

        def game_over(game):
            lines = game.wait_for_text(lambda lines: lines[12][6:15] == "GAME OVER", "GAME OVER")
            self.assertEqual(lines[15][4:18], "PUSH SPACE KEY", "\n".join(lines))
            self.assertEqual(lines[8][25:30], "    5")

        def stage_won(game):
            lines = game.wait_for_text(lambda lines: lines[12][7:14] == "YOU WIN", "YOU WIN")
            self.assertEqual(lines[15][5:16], "BONUS POINT", "\n".join(lines))
            self.assertEqual(lines[16][11:16], "10000")

        # The states that last one frame stay as "GAME START" left them while
        # the game is in the background.
        for state, setup, reach in ((1, "title", title), (2, "new-game", None),
                                    (3, "serve", None), (4, "title", rally),
                                    (5, "game-over", game_over), (6, "stage-won", stage_won),
                                    (7, "title", configuration)):
            with self.subTest(state=state):
                options = [] if reach else ["--background"]
                game = self.start_game("launcher", args=[setup, *options], focus=bool(reach))
                if reach:
                    reach(game)
                self.assertClosedInState(game, state)

    def long_miss_sound(self):
        """A folder with the game's sounds, in which "pupu.WAV" lasts a minute
        (its own samples over and over)."""
        folder = tempfile.mkdtemp(prefix="rallix-long-sound-")
        self.addCleanup(shutil.rmtree, folder, True)
        sounds = os.path.dirname(os.path.abspath(PATHS["rallix"]))
        for name in set(harness.SOUNDS) - {"pupu.WAV"}:
            shutil.copy(os.path.join(sounds, name), folder)
        with wave.open(os.path.join(sounds, "pupu.WAV"), "rb") as short:
            params, samples = short.getparams(), short.readframes(short.getnframes())
        with wave.open(os.path.join(folder, "pupu.WAV"), "wb") as long:
            long.setparams(params)
            for _ in range(int(60 / (params.nframes / params.framerate)) + 1):
                long.writeframes(samples)
        return folder

    def miss_in_a_long_sound(self):
        """The game, just after the player missed, in the middle of a minute
        of "pupu.WAV" that it plays to its end before going on."""
        folder = self.long_miss_sound()
        game = self.start_game("launcher", args=["miss"], cwd=folder)
        finder = SoundFinder(PATHS["audio"], folder)
        finder.wait_for(game.audio_recording(), "pupu.WAV", gone=game.gone)
        return game

    def assertEndsSoon(self, game):
        """The game stops long before the sound's minute is up: the launcher
        says so on stdout as its frame loop ends, before the process's own
        end; then it ends with status 0."""
        game.wait_for_stdout(lambda text: "closed" in text, "the end of the frame loop "
                             "(the game went on with its sound)", timeout=END_WITHIN)
        self.assertEnds(game, 0, within=END_WITHIN)
        # It ended in the rally, in the middle of the miss.
        self.assertEqual(game.stdout().split()[:4], ["closed", "in", "state", "4"])

    @sanitize
    def test_a_close_request_or_sigterm_while_the_miss_sound_plays_ends_the_game_at_once(self):
        for end in (lambda game: game.close_window(),
                    lambda game: game.send_signal(signal.SIGTERM)):
            game = self.miss_in_a_long_sound()
            end(game)
            self.assertEndsSoon(game)


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
