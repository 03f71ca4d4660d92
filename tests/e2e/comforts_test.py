"""End-to-end test of the comforts around the game in the real window: F12
saves the game's own picture, exactly, as a PNG file in the pictures folder
the desktop's user-dirs file names; M mutes with a mark beside the picture
that no screenshot shows; and the mute is kept in the settings file, or,
while another program holds its folder's lock, said not to be kept when the
window closes at once.

Run:  comforts_test.py --rallix PATH --screen PATH
"""

import fcntl
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Game, GameTestCase, run_tests, sanitize, wait_for  # noqa: E402

PATHS = harness.PATHS


class ComfortsTest(GameTestCase):

    def start_with_pictures_in(self, folder_name):
        """The game, with its HOME's pictures folder named `folder_name` in
        user-dirs.dirs, as a German desktop names it "Bilder"."""
        game = Game(PATHS["rallix"], PATHS["screen"], display=self.x.display)
        self.addCleanup(game.stop)
        with open(os.path.join(game.env["XDG_CONFIG_HOME"], "user-dirs.dirs"), "w",
                  encoding="utf-8") as dirs:
            dirs.write(f'# written by xdg-user-dirs-update\nXDG_PICTURES_DIR="$HOME/{folder_name}"\n')
        game.start()
        game.find_window()
        return game

    def screenshot(self, game, count):
        """Presses F12 and waits for the line naming the `count`th picture;
        its path."""
        game.press("F12")
        text = game.wait_for_stderr(lambda text: text.count("rallix: screenshot ") >= count,
                                    f"screenshot {count} named")
        return re.findall(r"^rallix: screenshot (.*)$", text, re.M)[count - 1]

    def settings(self, game):
        path = os.path.join(game.env["XDG_CONFIG_HOME"], "rallix", "settings.ini")
        if not os.path.exists(path):
            return ""
        with open(path, encoding="utf-8") as settings:
            return settings.read()

    @sanitize
    def test_f12_saves_the_frame_exactly_and_m_mutes_with_a_mark_it_never_shows(self):
        game = self.start_with_pictures_in("Bilder")
        game.wait_for_frame("title")
        self.assertEqual(self.settings(game), "", "a setting written unasked")
        first = self.screenshot(game, 1)
        folder = os.path.join(game.env["HOME"], "Bilder", "Rallix")
        self.assertRegex(first, "^" + re.escape(folder) + r"/rallix-\d{8}-\d{6}\.png$")
        same, report = game.compare("title", capture=first)
        self.assertTrue(same, report)

        # M: MUTED in a box over the blank corner right of the status panel
        # (the cells there read as no glyph), the rest the title as it was.
        game.press("m")
        lines = game.wait_for_text(lambda lines: "?" in lines[0][33:40], "the MUTED mark")
        self.assertEqual(lines[13][5:16], ">GAME START")
        wait_for("the mute kept", lambda: self.settings(game),
                 lambda text: text == "[sound]\nmute = true\n", describe=repr)
        # A picture taken meanwhile is the game's own, without the mark.
        second = self.screenshot(game, 2)
        self.assertNotEqual(second, first)
        same, report = game.compare("title", capture=second)
        self.assertTrue(same, report)

        # M again: the mark goes, and the setting with it.
        game.press("m")
        game.wait_for_frame("title")
        wait_for("the unmute kept", lambda: self.settings(game),
                 lambda text: text == "[sound]\nmute = false\n", describe=repr)
        self.assertEqual(sorted(os.listdir(folder)), sorted(map(os.path.basename, (first, second))))
        self.assertTrue(game.running())

    def test_a_lock_held_by_another_program_holds_up_no_picture_and_not_the_end(self):
        game = self.start_with_pictures_in("Pictures")
        folder = os.path.join(game.env["XDG_CONFIG_HOME"], "rallix")
        os.makedirs(folder, exist_ok=True)
        held = os.open(folder, os.O_RDONLY)
        self.addCleanup(os.close, held)
        fcntl.flock(held, fcntl.LOCK_EX)
        game.wait_for_frame("title")
        game.press("m")
        game.wait_for_text(lambda lines: "?" in lines[0][33:40], "the MUTED mark")
        self.screenshot(game, 1)
        game.close_window()
        self.assertEnds(game, 0, within=5)
        self.assertIn(f"rallix: mute = true could not be kept in {folder}/settings.ini: another "
                      "program holds the lock on its folder\n", game.stderr())
        self.assertEqual(self.settings(game), "")


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
