"""End-to-end tests of the game on Wayland itself: Debian's weston, with its
x11 backend, runs as a compositor in a window of a private Xvfb, and the game
runs on it as a native Wayland client (SDL_VIDEODRIVER=wayland, no DISPLAY).
Keys reach it through weston's window; its picture is read back from the
Xvfb screen that shows weston's output, wherever weston placed the window.

Run one test:  wayland_test.py --rallix PATH --screen PATH WaylandTest.test_name
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import (Game, HarnessError, WaitTimeout, XServer, _require,  # noqa: E402
                     run_tests, run_tool, wait_for)

PATHS = harness.PATHS

# Weston's output, inside an X screen a little larger: it holds a window of
# the picture at 2x below weston's panel, and fullscreen the picture at 2x
# with black borders of 60 and 70 pixels.
OUTPUT = (1400, 1100)
SCREEN = (1500, 1200)
FULLSCREEN_PLACE = ((1400 - 1280) // 2, (1100 - 960) // 2)


class Weston:
    """weston with its x11 backend on the X display, its socket in a private
    runtime folder; ready once the socket is there."""

    def __init__(self, display):
        self.display = display
        self.folder = tempfile.mkdtemp(prefix="rallix-weston-")
        self.runtime = os.path.join(self.folder, "runtime")
        os.mkdir(self.runtime, 0o700)
        self.socket = "rallix-wayland"
        self.process = None

    def __enter__(self):
        env = harness.game_environment(self.folder, self.display)
        env["XDG_RUNTIME_DIR"] = self.runtime
        with open(os.path.join(self.folder, "weston.log"), "wb") as log:
            self.process = subprocess.Popen(
                [_require("weston"), "--backend=x11-backend.so", f"--socket={self.socket}",
                 f"--width={OUTPUT[0]}", f"--height={OUTPUT[1]}", "--idle-time=0"],
                env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        try:
            socket = os.path.join(self.runtime, self.socket)
            wait_for("weston's socket", lambda: os.path.exists(socket),
                     gone=lambda: None if self.process.poll() is None else "weston ended",
                     describe=lambda _: self.log())
        except WaitTimeout:
            self.__exit__(None, None, None)
            raise
        return self

    def log(self):
        with open(os.path.join(self.folder, "weston.log"), "rb") as log:
            return log.read().decode(errors="replace")[-2000:]

    def client_environment(self, folder):
        """The environment of a native Wayland client of this weston."""
        env = harness.game_environment(folder)
        env.update(XDG_RUNTIME_DIR=self.runtime, WAYLAND_DISPLAY=self.socket,
                   SDL_VIDEODRIVER="wayland")
        return env

    def __exit__(self, *exc):
        if self.process is not None and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)
        return False


class WaylandTest(unittest.TestCase):
    TIMEOUT = 180

    def setUp(self):
        self.x = XServer(*SCREEN)
        self.x.__enter__()
        self.addCleanup(self.x.__exit__, None, None, None)
        self.weston = Weston(self.x.display).__enter__()
        self.addCleanup(self.weston.__exit__, None, None, None)

    def start_game(self, *args, env=None):
        folder = tempfile.mkdtemp(prefix="rallix-wayland-")
        self.addCleanup(shutil.rmtree, folder, True)
        environment = self.weston.client_environment(folder)
        environment.update(env or {})
        game = Game(PATHS["rallix"], PATHS["screen"], display=self.x.display,
                    env=environment, args=args)
        self.addCleanup(game.stop)
        game.start()
        # The pointer rests on weston's panel, off any window, where it
        # neither covers the picture nor takes the keyboard from weston.
        subprocess.run([_require("xdotool"), "mousemove", "8", "8"], check=True, timeout=10,
                       env={**os.environ, "DISPLAY": self.x.display})
        return game

    def find(self, game, situation, scale=1, where=lambda place: True):
        """Waits until the headless frame shows in weston's output at the
        scale, at a place for which where(place) holds; that place."""
        capture = os.path.join(game.folder, "screen.bmp")

        def look():
            subprocess.run([PATHS["screen"], "grab", "root", capture], check=True,
                           env={**os.environ, "DISPLAY": self.x.display},
                           timeout=10 * harness.TIME_FACTOR)
            found = run_tool([PATHS["screen"], "find", capture, situation, "--scale",
                              str(scale)], memory=harness.TOOL_MEMORY)
            if found.returncode not in (0, 1):
                raise HarnessError(f"rallix_screen find: {found.stderr.decode()}")
            return tuple(int(word) for word in found.stdout.split())

        return wait_for(f"the {situation} frame at {scale}x", look,
                        lambda place: place and where(place), gone=game.gone,
                        describe=lambda place: f"{place or 'nowhere'}; weston said "
                                               f"{self.weston.log()!r}")

    def test_the_title_shows_natively_and_the_keys_work(self):
        game = self.start_game()
        self.find(game, "title")
        game.press("Down")
        self.find(game, "title-config")
        self.assertEqual(game.stderr(), "")

    def test_scale_2_and_fullscreen_both_ways(self):
        game = self.start_game("--scale", "2")
        self.find(game, "title", scale=2)
        fullscreen = FULLSCREEN_PLACE.__eq__
        game.press("F11")
        self.find(game, "title", scale=2, where=fullscreen)
        game.press("Down")
        self.find(game, "title-config", scale=2, where=fullscreen)
        game.press("F11")
        self.find(game, "title-config", scale=2, where=lambda place: not fullscreen(place))
        game.press("alt+Return")
        self.find(game, "title-config", scale=2, where=fullscreen)
        self.assertTrue(game.running(), game.stderr())

    def test_without_a_picture_it_says_so_in_one_line_and_stops(self):
        # Told to keep its surface in software, which SDL's Wayland driver
        # cannot do: no picture can be shown.
        game = self.start_game(env={"SDL_FRAMEBUFFER_ACCELERATION": "0"})
        status = game.wait(timeout=harness.WAIT_SECONDS)
        self.assertEqual(status, 1, f"stderr: {game.stderr()!r}")
        lines = game.stderr().splitlines()
        self.assertEqual(len(lines), 1, lines)
        self.assertTrue(lines[0].startswith("rallix: cannot show a picture in the window "
                                            "(wayland video): "), lines[0])


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
