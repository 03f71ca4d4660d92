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
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import (Game, HarnessError, XServer, _require, deadline_after,  # noqa: E402
                     run_tests)

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
        deadline = deadline_after(10)
        while not os.path.exists(os.path.join(self.runtime, self.socket)):
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.__exit__(None, None, None)
                raise HarnessError(f"weston did not start: {self.log()!r}")
            time.sleep(0.02)
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
        self.x_tool("xdotool", "mousemove", "8", "8")
        return game

    def x_tool(self, name, *args):
        return subprocess.run([_require(name), *args], env={**os.environ,
                              "DISPLAY": self.x.display}, capture_output=True, check=True,
                              timeout=10 * harness.TIME_FACTOR).stdout

    def find(self, game, situation, scale=1, where=lambda place: True, timeout=10):
        """Waits until the headless frame shows in weston's output at the
        scale, at a place for which where(place) holds; that place."""
        capture = os.path.join(game.folder, "screen.xwd")
        deadline = deadline_after(timeout)
        while True:
            with open(capture, "wb") as out:
                subprocess.run([_require("xwd"), "-root", "-silent"], stdout=out, check=True,
                               env={**os.environ, "DISPLAY": self.x.display},
                               timeout=10 * harness.TIME_FACTOR)
            found = subprocess.run([PATHS["screen"], "find", capture, situation, "--scale",
                                    str(scale)], capture_output=True, text=True,
                                   timeout=30 * harness.TIME_FACTOR)
            if found.returncode == 0:
                place = tuple(int(word) for word in found.stdout.split())
                if where(place):
                    return place
            elif found.returncode != 1:
                raise HarnessError(f"rallix_screen find ended with {found.returncode}: "
                                   f"{found.stderr}")
            if not game.running() or time.monotonic() > deadline:
                self.fail(f"the {situation} frame at {scale}x never showed where wanted on "
                          f"Wayland (last {found.stdout.strip() or 'nowhere'}); "
                          f"the game said {game.stderr()!r}; weston said {self.weston.log()!r}")
            time.sleep(0.05)

    def press(self, *keys):
        for key in keys:
            self.x_tool("xdotool", "key", key)

    def test_the_title_shows_natively_and_the_keys_work(self):
        game = self.start_game()
        self.find(game, "title")
        self.press("Down")
        self.find(game, "title-config")
        self.assertEqual(game.stderr(), "")

    def test_scale_2_and_fullscreen_both_ways(self):
        game = self.start_game("--scale", "2")
        self.find(game, "title", scale=2)
        fullscreen = FULLSCREEN_PLACE.__eq__
        self.press("F11")
        self.find(game, "title", scale=2, where=fullscreen)
        self.press("Down")
        self.find(game, "title-config", scale=2, where=fullscreen)
        self.press("F11")
        self.find(game, "title-config", scale=2, where=lambda place: not fullscreen(place))
        self.press("alt+Return")
        self.find(game, "title-config", scale=2, where=fullscreen)
        self.assertTrue(game.running(), game.stderr())

    def test_without_a_picture_it_says_so_in_one_line_and_stops(self):
        # Told to keep its surface in software, which SDL's Wayland driver
        # cannot do: no picture can be shown.
        game = self.start_game(env={"SDL_FRAMEBUFFER_ACCELERATION": "0"})
        status = game.wait(timeout=1 * harness.TIME_FACTOR + 2)
        self.assertEqual(status, 1, f"stderr: {game.stderr()!r}")
        lines = game.stderr().splitlines()
        self.assertEqual(len(lines), 1, lines)
        self.assertTrue(lines[0].startswith("rallix: cannot show a picture in the window "
                                            "(wayland video): "), lines[0])


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
