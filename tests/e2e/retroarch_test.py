"""The libretro core in Debian's RetroArch: started with no content in a
private X server, with a configuration of the test's own (the OpenGL video
driver on Mesa's software renderer, no audio, a temporary home folder), it
shows the title screen exactly as the headless game renders it. Driven
through RetroArch's network command interface on the loopback address and
its hotkeys (xdotool), a state saved and loaded gives back its picture,
holding the rewind key steps the game back, and with run-ahead the game
shows the pictures it shows without it.

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
FRAMES = 30
# A rally's frame, and run-ahead of two frames.
RALLY_FRAMES = 180
RUN_AHEAD = 'run_ahead_enabled = "true"\nrun_ahead_frames = "2"\n'

CONFIG = """video_driver = "gl"
audio_driver = "null"
video_gpu_screenshot = "false"
config_save_on_exit = "false"
"""


def look(picture):
    """The screen as rallix_screen reads it: 30 lines, then the balls."""
    return subprocess.run([PATHS["screen"], "look", picture], capture_output=True, text=True,
                          check=False).stdout


def free_udp_port():
    """A port of the loopback address no one listens on now."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class RetroArch:
    """RetroArch running the core in its own X server, with a configuration
    (CONFIG and `extra`) and folders of its own, listening for commands on
    the loopback address."""

    def __init__(self, test, extra="", frames=None, held=None):
        self.core, self.screen = need("core", "screen")
        self.program = shutil.which("retroarch") or missing("retroarch")
        self.xdotool = shutil.which("xdotool") or missing("xdotool")
        self.folder = tempfile.mkdtemp(prefix="rallix-retroarch-")
        test.addCleanup(shutil.rmtree, self.folder, True)
        self.states = os.path.join(self.folder, "states")
        self.shots = os.path.join(self.folder, "shots")
        for folder in ("home", "states", "shots"):
            os.mkdir(os.path.join(self.folder, folder))
        self.port = free_udp_port()
        cores = os.path.dirname(os.path.abspath(self.core))  # its .info lies beside it
        self.config = os.path.join(self.folder, "retroarch.cfg")
        with open(self.config, "w", encoding="utf-8") as out:
            out.write(CONFIG + extra + f"""network_cmd_enable = "true"
network_cmd_port = "{self.port}"
libretro_directory = "{cores}"
libretro_info_path = "{cores}"
savestate_directory = "{self.states}"
screenshot_directory = "{self.shots}"
savestate_thumbnail_enable = "false"
pause_nonactive = "false"
video_scale = "1.0"
video_font_enable = "false"
menu_enable_widgets = "false"
""")
        self.log_path = os.path.join(self.folder, "retroarch.log")
        self.x = None
        self.process = None
        # With `frames`, RetroArch quits by itself after so many frames, the
        # last one's screenshot taken; `held` is a key held from before the
        # first.
        self.frames = frames
        self.held = held
        self.last_shot = os.path.join(self.folder, "last.png")

    def __enter__(self):
        self.x = XServer().__enter__()
        home = os.path.join(self.folder, "home")
        self.env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": home,
                    "DISPLAY": self.x.display, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                    "LIBGL_ALWAYS_SOFTWARE": "1"}
        quitting = []
        if self.frames is not None:
            quitting = [f"--max-frames={self.frames}", "--max-frames-ss",
                        f"--max-frames-ss-path={self.last_shot}"]
        if self.held is not None:
            self.key("keydown", self.held)
        with open(self.log_path, "w", encoding="utf-8") as log:
            self.process = subprocess.Popen(
                [self.program, f"--config={self.config}", "--verbose", *quitting, "-L",
                 self.core], env=self.env, cwd=self.folder, stdin=subprocess.DEVNULL,
                stdout=log, stderr=subprocess.STDOUT)
        return self

    def last_frame(self):
        """The last frame's screenshot, once RetroArch has quit after its
        frames."""
        try:
            self.process.wait(timeout=4 * harness.WAIT_SECONDS * harness.TIME_FACTOR)
        except subprocess.TimeoutExpired as expired:
            raise AssertionError(f"RetroArch still ran:\n{self.log()[-3000:]}") from expired
        if self.held is not None:
            self.key("keyup", self.held)
        picture = os.path.join(self.folder, "last-read.png")
        read = subprocess.run([self.screen, "png", self.last_shot, picture], capture_output=True,
                              check=False)
        if self.process.returncode != 0 or read.returncode != 0:
            raise AssertionError(f"RetroArch ended ({self.process.returncode}) with no "
                                 f"screenshot:\n{self.log()[-3000:]}")
        return picture

    def __exit__(self, *exc):
        if self.process is not None and self.process.poll() is None:
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
        if self.process.poll() is None:
            return None
        return f"RetroArch ended ({self.process.returncode}):\n{self.log()[-3000:]}"

    def command(self, text):
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sender:
            sender.sendto(text.encode(), ("127.0.0.1", self.port))

    def act(self, command, logged):
        """Sends the command until RetroArch logs `logged` once more: it takes
        one command a frame, and one sent with another may be lost."""
        before = self.log().count(logged)
        deadline = 0
        while self.log().count(logged) == before:
            if time.monotonic() > deadline:
                self.command(command)
                deadline = time.monotonic() + 2 * harness.TIME_FACTOR
            why = self.gone()
            if why is not None:
                raise AssertionError(f"{command}: {why}")
            time.sleep(0.05)

    def key(self, action, key):
        subprocess.run([self.xdotool, action, key], env=self.env, check=True,
                       timeout=harness.TOOL_SECONDS * harness.TIME_FACTOR)

    def shown(self):
        """A screenshot of the frame on screen, taken after this call, as
        the path of a picture rallix_screen reads; None when RetroArch wrote
        none in time. One is asked for at a time and each answer is waited
        for, so none comes late to a later question."""
        self.command("SCREENSHOT")
        deadline = time.monotonic() + harness.WAIT_SECONDS * harness.TIME_FACTOR
        while time.monotonic() < deadline:
            for shot in glob.glob(os.path.join(self.shots, "*.png")):
                picture = os.path.join(self.folder, "shown.png")
                read = subprocess.run([self.screen, "png", shot, picture],
                                      capture_output=True, check=False)
                if read.returncode == 0:
                    os.remove(shot)
                    return picture
            if self.gone() is not None:
                return None
            time.sleep(0.05)
        return None

    def wait_for_picture(self, what, is_it, timeout=harness.WAIT_SECONDS):
        """Takes screenshots until is_it(picture) holds, and returns it."""
        return wait_for(what, self.shown, until=lambda picture: picture and is_it(picture),
                        timeout=timeout, gone=self.gone,
                        describe=lambda picture: look(picture) if picture else
                        "no picture; RetroArch's log ends:\n" + self.log()[-1500:])

    def wait_for_situation(self, situation, timeout=harness.WAIT_SECONDS):
        return self.wait_for_picture(situation, lambda picture: subprocess.run(
            [self.screen, "compare", picture, situation], capture_output=True,
            check=False).returncode == 0, timeout)

    def started(self):
        """Waits for the title, which RetroArch on a busy machine may take a
        while to show."""
        return self.wait_for_situation("title", timeout=4 * harness.WAIT_SECONDS)

    def holding(self, key, situation):
        """Holds the key until the situation shows, and lets it go: a key
        still down when a state is loaded would be pressed anew, so a frame
        goes by (a screenshot) after it is up."""
        self.key("keydown", key)
        try:
            return self.wait_for_situation(situation)
        finally:
            self.key("keyup", key)
            self.shown()


class RetroArchTest(unittest.TestCase):
    TIMEOUT = 120

    def test_started_without_content_it_shows_the_title_exactly(self):
        core, screen = need("core", "screen")
        retroarch = shutil.which("retroarch") or missing("retroarch")
        folder = tempfile.mkdtemp(prefix="rallix-retroarch-")
        self.addCleanup(shutil.rmtree, folder, True)
        home = os.path.join(folder, "home")
        os.mkdir(home)
        config = os.path.join(folder, "retroarch.cfg")
        with open(config, "w", encoding="utf-8") as out:
            out.write(CONFIG)
        shot = os.path.join(folder, "title.png")
        with XServer() as x:
            env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": home,
                   "DISPLAY": x.display, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                   "LIBGL_ALWAYS_SOFTWARE": "1"}
            # RetroArch quits by itself after FRAMES frames, the screenshot
            # of the last one taken.
            result = subprocess.run(
                [retroarch, f"--config={config}", "--verbose", f"--max-frames={FRAMES}",
                 "--max-frames-ss", f"--max-frames-ss-path={shot}", "-L", core],
                env=env, cwd=folder, capture_output=True, text=True, check=False,
                timeout=harness.TOOL_SECONDS * harness.TIME_FACTOR)
        log = result.stdout + result.stderr
        self.assertEqual(result.returncode, 0, log[-3000:])
        self.assertIn("SET_SUPPORT_NO_GAME: yes", log)
        self.assertIn("SET_PIXEL_FORMAT: XRGB8888", log)
        self.assertTrue(os.path.exists(shot), log[-3000:])
        compared = subprocess.run([screen, "compare", shot, "title"], capture_output=True,
                                  text=True, check=False)
        self.assertEqual(compared.returncode, 0, compared.stdout + compared.stderr)

    def test_a_state_loaded_shows_its_picture_again_and_rewind_steps_back(self):
        with RetroArch(self, 'rewind_enable = "true"\nrewind_granularity = "1"\n') as ra:
            ra.started()
            ra.act("SAVE_STATE", f'Saving state "{ra.states}')
            ra.holding("Down", "title-config")
            ra.act("LOAD_STATE", f'Loading state "{ra.states}')
            ra.wait_for_situation("title")
            # The mark moves down again; held, the rewind key takes it back.
            ra.holding("Down", "title-config")
            ra.holding("r", "title")
            log = ra.log()
        self.assertIn("Loading state", log)
        self.assertNotIn("Rewind unavailable", log)

    def test_run_ahead_shows_the_frames_the_game_shows_without_it(self):
        # Start held from before the first frame: the same game in every run,
        # "GAME START" at once and a rally some three seconds in. Run-ahead of
        # two frames shows the frame two runs ahead of RetroArch's frame.
        pictures = {}
        for name, frames, extra in (
                ("without", RALLY_FRAMES + 2, ""),
                ("one instance", RALLY_FRAMES, RUN_AHEAD + 'run_ahead_secondary_instance = "false"\n'),
                ("two instances", RALLY_FRAMES, RUN_AHEAD + 'run_ahead_secondary_instance = "true"\n')):
            with RetroArch(self, extra, frames=frames, held="Return") as ra:
                pictures[name] = ra.last_frame()
                log = ra.log()
            self.assertNotIn("Run-Ahead has been disabled", log)
        text = look(pictures["without"])
        self.assertIn("HI-SCORE", text)
        self.assertTrue(any(line.startswith("ball ") and int(line.split()[1]) < 22 * 16
                            for line in text.splitlines()), text)  # in the court
        for name in ("one instance", "two instances"):
            with open(pictures["without"], "rb") as without, open(pictures[name], "rb") as ahead:
                self.assertTrue(without.read() == ahead.read(),
                                f"{name}:\n{look(pictures[name])}\nwithout:\n{text}")


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
