"""The libretro core in Debian's RetroArch: started with no content in a
private X server, with a configuration of the test's own (the OpenGL video
driver on Mesa's software renderer, no audio, a temporary home folder), it
shows the title screen exactly as the headless game renders it.

Run:  retroarch_test.py --core PATH --screen PATH [TestClass.test_name ...]
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import XServer, missing, need, run_tests  # noqa: E402

PATHS = harness.PATHS
FRAMES = 30

CONFIG = """video_driver = "gl"
audio_driver = "null"
video_gpu_screenshot = "false"
config_save_on_exit = "false"
"""


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


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
