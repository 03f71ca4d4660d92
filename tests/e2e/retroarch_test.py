"""The libretro core in Debian's RetroArch, started with no content in a
private X server with a configuration of the test's own (the OpenGL video
driver on Mesa's software renderer, no audio, a temporary home folder): it
shows the title exactly as the headless game renders it; driven through
RetroArch's network commands on the loopback address and its hotkeys
(xdotool), a state saved and loaded shows its picture again and holding the
rewind key steps the game back; with run-ahead it shows the frames it shows
without it.

Run:  retroarch_test.py --core PATH --screen PATH [TestClass.test_name ...]
"""

import glob
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import XServer, missing, need, run_tests, wait_for  # noqa: E402

PATHS = harness.PATHS
# Start held from before the first frame: "GAME START" at once, the same
# game every time, a rally's frame after RALLY_FRAMES frames.
RALLY_FRAMES = 180
RUN_AHEAD = 'run_ahead_enabled = "true"\nrun_ahead_frames = "2"\n'


def look(picture):
    """The screen as rallix_screen reads it: 30 lines, then the balls."""
    return subprocess.run([PATHS["screen"], "look", picture], capture_output=True, text=True,
                          check=False).stdout


class RetroArch:
    """RetroArch running the core in its own X server with a configuration
    and folders of its own, taking commands on a free port of the loopback
    address. With `frames` it quits after so many, the last one's
    screenshot taken; `held` is a key held from before the first."""

    def __init__(self, test, extra="", frames=None, held=None):
        self.core, self.screen = need("core", "screen")
        self.program = shutil.which("retroarch") or missing("retroarch")
        self.xdotool = shutil.which("xdotool") or missing("xdotool")
        self.folder = tempfile.mkdtemp(prefix="rallix-retroarch-")
        test.addCleanup(shutil.rmtree, self.folder, True)
        self.states, self.shots = (os.path.join(self.folder, name) for name in ("states", "shots"))
        for folder in ("home", "states", "shots"):
            os.mkdir(os.path.join(self.folder, folder))
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
            probe.bind(("127.0.0.1", 0))
            self.port = probe.getsockname()[1]
        cores = os.path.dirname(os.path.abspath(self.core))  # its .info lies beside it
        self.config = os.path.join(self.folder, "retroarch.cfg")
        with open(self.config, "w", encoding="utf-8") as out:
            out.write(extra + "\n".join(f'{name} = "{value}"' for name, value in (
                ("video_driver", "gl"), ("audio_driver", "null"), ("video_scale", "1.0"),
                ("video_gpu_screenshot", "false"), ("config_save_on_exit", "false"),
                ("network_cmd_enable", "true"), ("network_cmd_port", self.port),
                ("libretro_directory", cores), ("libretro_info_path", cores),
                ("savestate_directory", self.states), ("screenshot_directory", self.shots),
                ("savestate_thumbnail_enable", "false"), ("pause_nonactive", "false"))) + "\n")
        self.log_path = os.path.join(self.folder, "retroarch.log")
        self.last_shot = os.path.join(self.folder, "last.png")
        self.frames, self.held = frames, held

    def __enter__(self):
        self.x = XServer().__enter__()
        home = os.path.join(self.folder, "home")
        self.env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": home,
                    "DISPLAY": self.x.display, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                    "LIBGL_ALWAYS_SOFTWARE": "1"}
        quitting = [] if self.frames is None else [f"--max-frames={self.frames}", "--max-frames-ss",
                                                   f"--max-frames-ss-path={self.last_shot}"]
        if self.held:
            self.key("keydown", self.held)
        with open(self.log_path, "w", encoding="utf-8") as log:
            self.process = subprocess.Popen(
                [self.program, f"--config={self.config}", "--verbose", *quitting, "-L",
                 self.core], env=self.env, cwd=self.folder, stdin=subprocess.DEVNULL,
                stdout=log, stderr=subprocess.STDOUT)
        return self

    def __exit__(self, *exc):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=harness.TOOL_SECONDS)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.x.__exit__(*exc)

    def log(self):
        with open(self.log_path, encoding="utf-8", errors="replace") as log:
            return log.read()

    def gone(self):
        code = self.process.poll()
        return None if code is None else f"RetroArch ended ({code}):\n{self.log()[-3000:]}"

    def key(self, action, key):
        subprocess.run([self.xdotool, action, key], env=self.env, check=True,
                       timeout=harness.TOOL_SECONDS * harness.TIME_FACTOR)

    def readable(self, shot):
        """The screenshot as rallix_screen writes a frame, or None."""
        picture = os.path.join(self.folder, "read.png")
        read = subprocess.run([self.screen, "png", shot, picture], capture_output=True, check=False)
        return picture if read.returncode == 0 else None

    def last_frame(self):
        """The last frame's picture, once RetroArch has quit by itself."""
        try:
            self.process.wait(timeout=4 * harness.WAIT_SECONDS * harness.TIME_FACTOR)
        except subprocess.TimeoutExpired as expired:
            raise AssertionError(f"RetroArch still ran:\n{self.log()[-3000:]}") from expired
        if self.held:
            self.key("keyup", self.held)
        picture = os.path.exists(self.last_shot) and self.readable(self.last_shot)
        if self.process.returncode != 0 or not picture:
            raise AssertionError(f"no last frame:\n{self.log()[-3000:]}")
        return picture

    def act(self, command, logged):
        """Sends the command until RetroArch logs `logged` once more: it takes
        one command a frame, and one sent with another may be lost."""
        before, deadline = self.log().count(logged), 0
        while self.log().count(logged) == before:
            if time.monotonic() > deadline:
                with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sender:
                    sender.sendto(command.encode(), ("127.0.0.1", self.port))
                deadline = time.monotonic() + 2 * harness.TIME_FACTOR
            if self.gone():
                raise AssertionError(f"{command}: {self.gone()}")
            time.sleep(0.05)

    def shown(self):
        """A screenshot taken after this call, or None when none came. One
        is asked for at a time, so none comes late to a later question."""
        self.act("SCREENSHOT", f'Written to playlist file: "{self.folder}/content_image')
        deadline = time.monotonic() + harness.WAIT_SECONDS * harness.TIME_FACTOR
        while time.monotonic() < deadline and not self.gone():
            for shot in glob.glob(os.path.join(self.shots, "*.png")):
                picture = self.readable(shot)
                if picture:
                    os.remove(shot)
                    return picture
            time.sleep(0.05)
        return None

    def wait_for_situation(self, situation, timeout=harness.WAIT_SECONDS):
        def shows(picture):
            return picture and subprocess.run([self.screen, "compare", picture, situation],
                                              capture_output=True, check=False).returncode == 0
        return wait_for(situation, self.shown, until=shows, timeout=timeout, gone=self.gone,
                        describe=lambda picture: look(picture) if picture else "no picture")

    def holding(self, key, situation, timeout=harness.WAIT_SECONDS):
        """Holds the key until the situation shows. A key still down when a
        state is loaded is pressed anew: a frame goes by after it is up."""
        self.key("keydown", key)
        try:
            self.wait_for_situation(situation, timeout)
        finally:
            self.key("keyup", key)
            self.shown()


class RetroArchTest(unittest.TestCase):
    TIMEOUT = 120

    def test_started_without_content_it_shows_the_title_exactly(self):
        with RetroArch(self, frames=30) as ra:
            picture = ra.last_frame()
            log = ra.log()
        self.assertIn("SET_SUPPORT_NO_GAME: yes", log)
        self.assertIn("SET_PIXEL_FORMAT: XRGB8888", log)
        compared = subprocess.run([ra.screen, "compare", picture, "title"], capture_output=True,
                                  text=True, check=False)
        self.assertEqual(compared.returncode, 0, compared.stdout + compared.stderr)

    def test_a_state_loaded_shows_its_picture_again_and_rewind_steps_back(self):
        with RetroArch(self, 'rewind_enable = "true"\nrewind_granularity = "1"\n') as ra:
            ra.wait_for_situation("title", timeout=4 * harness.WAIT_SECONDS)  # a slow start
            ra.act("SAVE_STATE", f'Saving state "{ra.states}')
            ra.holding("Down", "title-config")
            ra.act("LOAD_STATE", f'Loading state "{ra.states}')
            ra.wait_for_situation("title")
            ra.holding("Down", "title-config")
            # The rewind key takes the mark back, a frame at a time through
            # every frame since Down was pressed, as many as a busy machine
            # took to show the mark there.
            ra.holding("r", "title", timeout=4 * harness.WAIT_SECONDS)

    def test_run_ahead_shows_the_frames_the_game_shows_without_it(self):
        # Run-ahead of two frames shows the frame two runs ahead.
        pictures = {}
        for name, frames, instances in (("without", RALLY_FRAMES + 2, None),
                                        ("one instance", RALLY_FRAMES, "false"),
                                        ("two instances", RALLY_FRAMES, "true")):
            extra = instances and RUN_AHEAD + f'run_ahead_secondary_instance = "{instances}"\n'
            with RetroArch(self, extra or "", frames=frames, held="Return") as ra:
                with open(ra.last_frame(), "rb") as picture:
                    pictures[name] = picture.read()
                    text = look(picture.name)
            self.assertTrue(pictures[name] == pictures["without"], f"{name}:\n{text}")
        # A rally: the court's panel, the ball in the court.
        self.assertIn("HI-SCORE", text)
        self.assertTrue(any(line.startswith("ball ") and int(line.split()[1]) < 22 * 16
                            for line in text.splitlines()), text)


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
