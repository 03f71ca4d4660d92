"""The Windows game as it is shipped: rallix.exe from the zip `make windows`
packs, unpacked into a temporary folder and run under Wine in a private Xvfb
(with hold_folder_lock.exe, left beside the zip, holding its settings' lock;
windows_system_test.exe beside it tests the Windows side of the player's files),
driven with real X key events and looked at through rallix_screen grab like the Linux window;
and its demos: one recorded under Wine, and the committed ones, timed to the
lines they print on Linux.

Wine keeps its prefix (its C: drive and registry) in --wine DIR, made on
first use and kept, since making it takes a while; its home folder lies there
too, and each run of the game gets temporary HOME and XDG folders, so nothing
is written to the home folder of the machine. Skipped when the zip has not been
made, or fails saying so under CI.

Run:  windows_test.py --zip PATH --wine DIR --screen PATH --version X.Y.Z
                      [TestClass.test_name ...]
"""

import getpass
import ntpath
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import (SOUNDS, Game, GameTestCase, game_environment, missing, need,  # noqa: E402
                     replays_committed_demos, run_headless, run_tests, without_time)

PATHS = harness.PATHS
# Wine takes a while to start a program, more on a busy machine.
WINE_START_SECONDS = 60


def windows_path(path):
    """The path as a Windows program under Wine names it (Z: is /)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Wine:
    """Runs Windows programs in the prefix under --wine DIR."""

    def __init__(self, folder):
        self.folder = os.path.abspath(folder)
        self.prefix = os.path.join(self.folder, "prefix")
        self.home = os.path.join(self.folder, "home")

    def environment(self, env):
        """`env` with the prefix and Wine's quiet settings: no debug output,
        and no asking for Mono or Gecko, which the game does not use."""
        return dict(env, WINEPREFIX=self.prefix, WINEDEBUG="-all",
                    WINEDLLOVERRIDES="mscoree,mshtml=")

    def prepare(self, display):
        """Makes the prefix unless it is there; its links to the user's
        folders point into the home folder beside it."""
        if os.path.exists(os.path.join(self.prefix, "system.reg")):
            return
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.home,
               "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
               "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
               "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
               "DISPLAY": display}
        os.makedirs(self.home, exist_ok=True)
        started = time.monotonic()
        subprocess.run([self.tool("wineboot"), "--init"], env=self.environment(env),
                       stdin=subprocess.DEVNULL, capture_output=True, timeout=240, check=True)
        self.end(env)
        print(f"made the Wine prefix {self.prefix} in {time.monotonic() - started:.0f} s",
              file=sys.stderr)

    def end(self, env):
        """Ends every program of the prefix: the game's helpers and services
        would otherwise linger for a few seconds."""
        subprocess.run([self.tool("wineserver"), "--kill"], env=self.environment(env),
                       capture_output=True, timeout=60, check=False)
        subprocess.run([self.tool("wineserver"), "--wait"], env=self.environment(env),
                       capture_output=True, timeout=60, check=False)

    @staticmethod
    def tool(name):
        path = shutil.which(name)
        if path is None:
            missing(f"{name} (Debian's wine)")
        return path


class WindowsGameTest(GameTestCase):
    """Each test unpacks the zip and runs rallix.exe in its own X server."""
    LOCK = "wine_prefix"
    TIMEOUT = 300

    def setUp(self):
        zip_path, _ = need("zip", "wine")
        if not os.path.exists(zip_path):
            missing(f"{zip_path} (`make windows` makes it)")
        super().setUp()
        self.wine = Wine(PATHS["wine"])
        self.wine.prepare(self.x.display)
        self.folder = tempfile.mkdtemp(prefix="rallix-windows-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        # The zip holds one folder, as Windows' "Extract all" leaves it.
        self.game_folder = os.path.join(self.folder, f"Rallix-{PATHS['version']}")
        with zipfile.ZipFile(PATHS["zip"]) as packed:
            packed.extractall(self.folder)
        self.exe = os.path.join(self.game_folder, "rallix.exe")

    def start(self, cwd, args=()):
        """rallix.exe under Wine in `cwd`, its window found and focused."""
        game = Game(Wine.tool("wine"), PATHS["screen"], display=self.x.display,
                    args=[self.exe, *args], cwd=cwd)
        # Arguments beyond ASCII reach the program as UTF-8.
        game.env = dict(self.wine.environment(game.env), LANG="C.UTF-8")
        game.env["SDL_DISKAUDIOFILE"] = windows_path(game.env["SDL_DISKAUDIOFILE"])
        self.addCleanup(self.wine.end, game.env)
        self.addCleanup(game.stop)
        game.start()
        game.find_window(timeout=WINE_START_SECONDS)
        return game

    def tool_environment(self, **more):
        """The environment of a Windows program the test runs itself in the
        game's prefix, on its X server, with `more` besides."""
        return self.wine.environment({"PATH": os.environ.get("PATH", "/usr/bin:/bin"),
                                      "HOME": self.wine.home, "DISPLAY": self.x.display, **more})

    def test_the_zip_holds_one_windowed_program_that_needs_only_windows(self):
        with zipfile.ZipFile(PATHS["zip"]) as packed:
            folder = f"Rallix-{PATHS['version']}/"
            self.assertEqual(sorted(packed.namelist()),
                             sorted(folder + name for name in
                                    ("rallix.exe", "README.txt", "LICENSE.txt", *SOUNDS,
                                     "rallix_libretro.dll", "rallix_libretro.info")))
            for text in ("README.txt", "LICENSE.txt"):
                lines = packed.read(folder + text).split(b"\n")
                self.assertTrue(all(line.endswith(b"\r") for line in lines[:-1]), text)
        dump = subprocess.run(["x86_64-w64-mingw32-objdump", "--private-headers", self.exe],
                              capture_output=True, text=True, timeout=60, check=True).stdout
        self.assertRegex(dump, r"Subsystem\s+00000002\s+\(Windows GUI\)")
        self.assertRegex(dump, r"Magic\s+020b\s+\(PE32\+\)")
        # Every DLL it imports is one of Windows' own, which Wine keeps in
        # system32: no C++ runtime, SDL or pthread DLL beside it.
        imported = [line.split(":", 1)[1].strip() for line in dump.splitlines()
                    if "DLL Name:" in line]
        self.assertIn("KERNEL32.dll", imported)
        system32 = os.path.join(self.wine.prefix, "drive_c", "windows", "system32")
        for dll in imported:
            self.assertTrue(os.path.exists(os.path.join(system32, dll.lower())),
                            f"{dll} is not one of Windows' own DLLs")
        # The libretro core beside it, as frontends on Windows load it: a DLL
        # that also needs only Windows' own, showing its entry points.
        core = subprocess.run(["x86_64-w64-mingw32-objdump", "--private-headers",
                               os.path.join(self.game_folder, "rallix_libretro.dll")],
                              capture_output=True, text=True, timeout=60, check=True).stdout
        self.assertRegex(core, r"\bretro_run\b")
        self.assertRegex(core, r"\bretro_serialize\b")
        for dll in [line.split(":", 1)[1].strip() for line in core.splitlines()
                    if "DLL Name:" in line]:
            self.assertTrue(os.path.exists(os.path.join(system32, dll.lower())),
                            f"the core needs {dll}, which is not one of Windows' own DLLs")
        symbols = subprocess.run(["x86_64-w64-mingw32-objdump", "--syms", "--section-headers",
                                  self.exe], capture_output=True, text=True, timeout=60,
                                 check=True).stdout
        self.assertNotIn(".debug", symbols)
        self.assertEqual(symbols.split("SYMBOL TABLE:")[1].split(), ["no", "symbols"])
        # The version resource: each name, padding, its value, in UTF-16.
        with open(self.exe, "rb") as exe:
            program = exe.read()
        for name, value in (("ProductVersion", PATHS["version"]), ("FileDescription", "Rallix")):
            entry = (re.escape(name.encode("utf-16-le")) + b"(?:\0\0)+" +
                     re.escape(value.encode("utf-16-le")) + b"\0\0")
            self.assertRegex(program, entry, f"version resource: {name}")

    def test_the_windows_side_of_the_players_files_passes_its_own_tests(self):
        program = os.path.join(os.path.dirname(PATHS["zip"]), "windows_system_test.exe")
        if not os.path.exists(program):
            missing(f"{program} (`make windows` makes it)")
        # Names beyond ASCII reach the Linux side as UTF-8.
        env = self.tool_environment(LANG="C.UTF-8")
        self.addCleanup(self.wine.end, env)
        run = subprocess.run([Wine.tool("wine"), program], env=env, capture_output=True,
                             text=True, timeout=WINE_START_SECONDS * 2, check=False)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
        self.assertRegex(run.stdout, r"\[  PASSED  \] [1-9][0-9]* tests?\.")

    def test_title_menus_and_quit_game_with_real_keys(self):
        # As a double-click starts it: in its own folder.
        game = self.start(cwd=self.game_folder)
        game.wait_for_frame("title", timeout=WINE_START_SECONDS)
        self.assertEqual(game.window_name(), "Rallix")
        self.assertEqual(game.client_size(), (640, 480))
        icons = game.properties("_NET_WM_ICON")
        self.assertIn("Icon (32 x 32)", icons)
        self.assertIn("Icon (16 x 16)", icons)

        game.press("Down")
        game.wait_for_frame("title-config")
        game.press("space")
        game.wait_for_frame("config")
        game.press("Up")
        game.wait_for_text(lambda lines: "> EXIT" in "".join(lines), "the mark on EXIT")
        game.press("space")
        game.wait_for_frame("title")

        game.press("Down")
        game.wait_for_frame("title-config")
        game.press("Down")
        game.wait_for_frame("title-quit")
        game.press("space")
        self.assertEnds(game, 0)

    def test_started_elsewhere_it_plays_its_sounds_from_beside_it_and_on_without_one(self):
        os.remove(os.path.join(self.game_folder, "pupu.WAV"))
        elsewhere = os.path.join(self.folder, "elsewhere")
        os.mkdir(elsewhere)
        game = self.start(cwd=elsewhere)
        # Looked for in the working folder, then beside rallix.exe, where the
        # other three are.
        text = game.wait_for_stderr(lambda text: "pupu.WAV" in text, "the missing sound named")
        missing = [line for line in text.splitlines() if line.startswith("rallix: sound file")]
        self.assertEqual(missing, [
            f"rallix: sound file pupu.WAV not found (looked in {windows_path(elsewhere)}, "
            f"{windows_path(self.game_folder)}); the game plays without it"])

        # A miss plays the missing sound to its end, which takes no time: the
        # computer scores, serves again, and the player misses again.
        game.wait_for_frame("title", timeout=WINE_START_SECONDS)
        game.press("space")
        lines, _ = game.wait_for_play(lambda lines, balls: lines[8][25:30].strip() == "2",
                                      "the computer's second point", timeout=60)
        self.assertEqual(lines[8][25:30].strip(), "2", "\n".join(lines))
        game.wait_for_ball_moving()
        game.close_window()
        self.assertEnds(game, 0)

    def test_f12_saves_the_frame_into_the_pictures_folder_and_m_mutes_and_is_kept(self):
        holder_exe = os.path.join(os.path.dirname(PATHS["zip"]), "hold_folder_lock.exe")
        if not os.path.exists(holder_exe):
            missing(f"{holder_exe} (`make windows` makes it)")
        # The profile's folders lie in the prefix: what the game makes there
        # goes with the test. The Pictures folder has been moved, as a cloud
        # drive moves it: the pictures go where it is now.
        users = os.path.join(self.wine.prefix, "drive_c", "users")
        moved = os.path.join(self.folder, "Moved Pictures")
        shell_folders = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders"
        env = self.tool_environment()

        def pictures_in(folder):
            subprocess.run([Wine.tool("wine"), "reg", "add", shell_folders, "/v", "My Pictures",
                            "/t", "REG_EXPAND_SZ", "/d", folder, "/f"], env=env,
                           capture_output=True, timeout=WINE_START_SECONDS, check=True)

        def clean():
            pictures_in(r"%USERPROFILE%\Pictures")
            self.wine.end(env)
            for user in os.listdir(users):
                shutil.rmtree(os.path.join(users, user, "AppData", "Roaming", "Rallix"),
                              ignore_errors=True)

        self.addCleanup(clean)
        clean()
        os.makedirs(moved)
        pictures_in(windows_path(moved))
        # A line of the player's own in the settings file, kept by each write.
        own = "# the player's own line\n"
        folder = os.path.join(users, getpass.getuser(), "AppData", "Roaming", "Rallix")
        os.makedirs(folder)
        settings = os.path.join(folder, "settings.ini")
        with open(settings, "w", encoding="utf-8") as file:
            file.write(own)
        game = self.start(cwd=self.game_folder)
        game.wait_for_frame("title", timeout=WINE_START_SECONDS)
        game.press("F12")
        text = game.wait_for_stderr(lambda text: "rallix: screenshot " in text,
                                    "the screenshot named")
        picture = re.search(r"^rallix: screenshot (.*?)\r?$", text, re.M).group(1)
        found = re.match(re.escape(windows_path(moved)) + r"\\Rallix\\(rallix-\d{8}-\d{6}\.png)$",
                         picture)
        self.assertIsNotNone(found, picture)
        same, report = game.compare("title", capture=os.path.join(moved, "Rallix", found.group(1)))
        self.assertTrue(same, report)

        def kept():
            with open(settings, encoding="utf-8") as file:
                return file.read()

        written = {mute: f"{own}[sound]\nmute = {mute}\n" for mute in ("true", "false")}

        def muted(lines):  # the MUTED mark beside the picture
            return "?" in lines[0][33:40]

        game.press("m")
        game.wait_for_text(muted, "the MUTED mark")
        harness.wait_for("the mute kept in %APPDATA%", kept, written["true"].__eq__, describe=repr)
        # The file there is written over. Of the copies that writers killed
        # before their rename left beside it, the next write removes those
        # whose writer has ended (no process has the first number), not the
        # holder's, which lives.
        holder = subprocess.Popen([Wine.tool("wine"), holder_exe], env=env, stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE, text=True)
        self.addCleanup(holder.wait, timeout=60)
        self.addCleanup(holder.stdin.close)

        def tell(holder_line):
            holder.stdin.write(holder_line + "\n")
            holder.stdin.flush()
            return holder.stdout.readline().strip()

        copies = [f"settings.ini.new-{pid}-1" for pid in (4194300, int(holder.stdout.readline()))]
        for copy in copies:
            open(os.path.join(folder, copy), "wb").close()
        game.press("m")
        harness.wait_for("the sound back on, kept", kept, written["false"].__eq__, describe=repr)
        self.assertEqual(sorted(os.listdir(folder)), ["settings.ini", copies[1]])
        os.chmod(settings, 0o444)  # marked read-only: named, and left as it is
        game.press("m")
        text = game.wait_for_stderr(lambda text: "it is read-only" in text,
                                    "the read-only file named")
        self.assertEqual(kept(), written["false"])
        os.chmod(settings, 0o644)
        # Another program holds the folder's lock and writes the file: the
        # game waits for the lock, then makes its change to what it finds.
        path = re.search(r"cannot keep the settings in (.*): it is read-only", text).group(1)
        hold = f"hold {ntpath.dirname(path)}"
        self.assertEqual(tell(hold), "held")
        game.press("m")
        game.wait_for_text(lambda lines: not muted(lines), "the MUTED mark gone")
        with open(settings, "w", encoding="utf-8") as file:
            file.write(written["true"])
        self.assertEqual(tell("release"), "released")
        harness.wait_for("the sound on, kept after the lock", kept,
                         written["false"].__eq__, describe=repr)
        # It holds the lock as the window closes: the game ends anyway, and
        # says what it could not keep.
        self.assertEqual(tell(hold), "held")
        game.press("m")
        game.wait_for_text(muted, "the MUTED mark")
        game.close_window()
        self.assertEnds(game, 0, within=10)
        self.assertIn(f"rallix: mute = true could not be kept in {path}: another program holds "
                      "the lock on its folder", game.stderr())
        self.assertEqual(kept(), written["false"])

    def test_a_recorded_run_replaces_the_old_demo_and_replays_as_on_linux(self):
        # A name beyond ASCII, and a demo of that name already there.
        demo = os.path.join(self.folder, "démo ü.demo")
        with open(demo, "w", encoding="utf-8") as old:
            old.write("the last recording")
        game = self.start(cwd=self.game_folder, args=["--record", windows_path(demo)])
        game.wait_for_frame("title", timeout=WINE_START_SECONDS)
        # A second recorder of the file is refused before its window would
        # open (there is no display to open it on), and so is one that finds
        # what a killed game left.
        env = dict(game.env, DISPLAY="")
        part = windows_path(demo + ".part")

        def record_again():
            result = subprocess.run([Wine.tool("wine"), self.exe, "--record", windows_path(demo)],
                                    env=env, capture_output=True, text=True, timeout=120,
                                    check=False)
            self.assertEqual((result.returncode, result.stdout), (1, ""))
            return result.stderr
        self.assertEqual(record_again(), f"rallix: cannot write the demo {windows_path(demo)}: "
                                         f"another Rallix is recording it now, into {part}\n")
        game.press("Down")
        game.wait_for_frame("title-config")
        game.press("Down")
        game.wait_for_frame("title-quit")
        game.press("space")
        self.assertEnds(game, 0, within=10)
        self.assertFalse(os.path.exists(demo + ".part"))
        with open(demo + ".part", "wb") as left:
            left.write(b"RLXDEMO")
        self.assertEqual(record_again(), f"rallix: cannot write the demo {windows_path(demo)}: "
                                         f"{part} is there already, the recording of a game that "
                                         "did not finish (it plays up to where it stops): move "
                                         "or remove it to record here\n")
        with open(demo + ".part", "rb") as left:
            self.assertEqual(left.read(), b"RLXDEMO")

        windows = subprocess.run([Wine.tool("wine"), self.exe, "--timedemo", windows_path(demo)],
                                 env=env, capture_output=True, text=True, timeout=120,
                                 check=False)
        self.assertEqual((windows.returncode, windows.stderr), (0, ""))
        self.assertRegex(windows.stdout, r"^\d+ passes, score 0, high score 30000, [0-9.]+ s, "
                                         r"digest [0-9A-F]{16}\s*$")
        linux = run_headless([PATHS["rallix"], "--timedemo", demo], self.folder, timeout=60)
        self.assertEqual(without_time(linux.stdout), without_time(windows.stdout))

    def test_the_committed_demos_replay_to_what_they_showed_as_on_linux(self):
        # No display: the timed replay opens no window.
        env = self.wine.environment(game_environment(self.folder))
        self.addCleanup(self.wine.end, env)
        replays_committed_demos(self, lambda path: subprocess.run(
            [Wine.tool("wine"), self.exe, "--timedemo", windows_path(path)], env=env,
            cwd=self.game_folder, capture_output=True, text=True, timeout=120, check=False))


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
