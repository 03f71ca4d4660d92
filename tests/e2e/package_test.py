"""End-to-end tests of the installed game: the Debian package that CPack makes
from this build, unpacked into a temporary root, and `cmake --install` into a
prefix that is then moved. The game is started the way a desktop or a terminal
starts it, under a private Xvfb, with its sound going to SDL's disk driver.

Run one test:
  package_test.py --build-dir DIR --cmake PATH --cpack PATH --screen PATH \
      PackageTest.test_name
"""

import argparse
import array
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Game, HarnessError, XServer, run_suite  # noqa: E402

PATHS = {}
SOUNDS = ("pon.WAV", "pin.WAV", "pupu.WAV", "pipopin.WAV")

# Standing still, the first point of a game is decided well within this.
FIRST_POINT_SECONDS = 40


def run(args, **kwargs):
    result = subprocess.run(args, capture_output=True, text=True, check=False, **kwargs)
    if result.returncode != 0:
        raise HarnessError(f"{' '.join(args)} failed ({result.returncode}):\n"
                           f"{result.stdout}{result.stderr}")
    return result.stdout


def build_package(folder):
    """Makes the Debian package of this build in `folder`; its path."""
    run([PATHS["cpack"], "-G", "DEB", "--config",
         os.path.join(PATHS["build"], "CPackConfig.cmake"), "-B", folder])
    found = glob.glob(os.path.join(folder, "rallix_*.deb"))
    if len(found) != 1:
        raise HarnessError(f"cpack made {found!r}, not one rallix_*.deb")
    return found[0]


def read_desktop_entry(path):
    """The groups of a desktop entry file as {group: {key: value}}, with the
    string escapes (\\s, \\n, \\t, \\r, \\\\) undone."""
    groups, group = {}, None
    with open(path, encoding="utf-8") as entry:
        for line in entry.read().splitlines():
            if not line.strip() or line.startswith("#"):
                continue
            if line.startswith("["):
                group = groups.setdefault(line.strip()[1:-1], {})
                continue
            key, value = line.split("=", 1)
            group[key.strip()] = _unescape(value.strip())
    return groups


def _unescape(value):
    out, chars = [], iter(value)
    for char in chars:
        if char == "\\":
            following = next(chars, "")
            out.append({"s": " ", "n": "\n", "t": "\t", "r": "\r"}.get(following, following))
        else:
            out.append(char)
    return "".join(out)


def split_exec(value):
    """An Exec= value as a launcher splits it: double-quoted arguments with
    \\", \\`, \\$ and \\\\ escaped inside; %% is a percent sign and the other
    field codes are dropped."""
    args, current, quoted, chars = [], None, False, iter(value)
    for char in chars:
        if quoted:
            if char == "\\":
                current += next(chars, "")
            elif char == '"':
                quoted = False
            else:
                current += char
        elif char == '"':
            quoted, current = True, current or ""
        elif char == " ":
            if current is not None:
                args.append(current)
            current = None
        elif char == "%":
            code = next(chars, "")
            if code == "%":
                current = (current or "") + "%"
        else:
            current = (current or "") + char
    if quoted:
        raise ValueError(f"unbalanced quote in Exec={value}")
    if current is not None:
        args.append(current)
    return args


def inside(root, path):
    """`path`, absolute on the installed system, inside the unpacked root."""
    return os.path.join(root, path.lstrip("/"))


def png_size(path):
    with open(path, "rb") as png:
        head = png.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")


def audio_peak(path):
    """(samples, the largest magnitude) of the disk driver's signed 16-bit
    output, in which silence is 0."""
    samples = array.array("h")
    with open(path, "rb") as raw:
        data = raw.read()
    samples.frombytes(data[:len(data) - len(data) % 2])
    if sys.byteorder != "little":
        samples.byteswap()
    return len(samples), max((abs(sample) for sample in samples), default=0)


class StartedGame(Game):
    """The game started by a command line in a working folder of our choice,
    as a desktop or a terminal starts it."""

    def __init__(self, argv, cwd, display):
        super().__init__(argv[0], PATHS["screen"], display=display)
        self.argv = argv
        self.cwd = cwd

    def start(self):
        with open(self._stdout_path, "wb") as out, open(self._stderr_path, "wb") as err:
            self.process = subprocess.Popen(self.argv, cwd=self.cwd, env=self.env,
                                            stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        return self

    def audio(self):
        return audio_peak(self.env["SDL_DISKAUDIOFILE"])


class InstalledGameTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="rallix-package-")
        self.addCleanup(shutil.rmtree, self.folder, True)

    def start_game(self, argv, cwd):
        x = XServer()
        x.__enter__()
        self.addCleanup(x.__exit__, None, None, None)
        game = StartedGame(argv, cwd, x.display)
        self.addCleanup(game.stop)
        game.start()
        game.find_window()
        return game

    def play_to_the_first_point(self, game):
        """Shows the title, starts a game and stands still until the first
        point is decided (a miss sounds "pupu.WAV", a won point
        "pipopin.WAV"; the walls and paddles sound before it). The audio's
        (samples, peak) then."""
        same, report = game.wait_for_frame("title")
        self.assertTrue(same, f"the title screen differs:\n{report}\nstderr: {game.stderr()!r}")
        game.press("space")

        def point_decided(lines):
            return lines[8][25:30].strip() not in ("", "0") or \
                lines[16][25:30].strip() not in ("", "0")

        lines = game.wait_for_text(point_decided, timeout=FIRST_POINT_SECONDS)
        self.assertTrue(point_decided(lines), "no point within "
                        f"{FIRST_POINT_SECONDS} s:\n" + "\n".join(lines))
        self.assertTrue(game.running(), f"stderr: {game.stderr()!r}")
        return game.audio()

    def assertHeard(self, game):
        samples, peak = self.play_to_the_first_point(game)
        self.assertGreater(samples, 0, "the disk audio driver wrote nothing")
        self.assertGreater(peak, 1000, "the game was silent: it did not find its sounds")


class PackageTest(InstalledGameTest):
    """The .deb, unpacked with dpkg-deb -x into a temporary root."""

    def setUp(self):
        super().setUp()
        self.deb = build_package(os.path.join(self.folder, "packages"))
        self.root = os.path.join(self.folder, "root")
        run(["dpkg-deb", "-x", self.deb, self.root])

    def entry(self):
        return read_desktop_entry(inside(self.root, "/usr/share/applications/rallix.desktop"))

    def test_control_fields_and_files(self):
        field = lambda name: run(["dpkg-deb", "-f", self.deb, name]).strip()  # noqa: E731
        self.assertEqual(field("Package"), "rallix")
        self.assertRegex(field("Version"), r"^\d+\.\d+\.\d+$")
        self.assertEqual(field("Architecture"), run(["dpkg", "--print-architecture"]).strip())
        self.assertEqual(field("Section"), "games")
        self.assertRegex(field("Maintainer"), r"^.+ <[^>]+@[^>]+>$")
        description = field("Description").splitlines()
        self.assertGreater(len(description), 1, "no long description")
        depends = [part.split()[0] for part in field("Depends").split(",")]
        for library in ("libsdl2-2.0-0", "libc6", "libstdc++6"):
            self.assertIn(library, depends)

        files = sorted(line.split()[-1] for line in run(["dpkg-deb", "-c", self.deb]).splitlines()
                       if not line.startswith("d"))
        self.assertEqual(files, sorted([
            "./usr/games/rallix",
            "./usr/libexec/rallix/rallix",
            "./usr/share/applications/rallix.desktop",
            "./usr/share/doc/rallix/changelog.gz",
            "./usr/share/doc/rallix/copyright",
            "./usr/share/icons/hicolor/16x16/apps/rallix.png",
            "./usr/share/icons/hicolor/32x32/apps/rallix.png",
            "./usr/share/man/man6/rallix.6.gz",
        ] + [f"./usr/share/rallix/{sound}" for sound in SOUNDS]))
        for program in ("usr/games/rallix", "usr/libexec/rallix/rallix"):
            self.assertTrue(os.access(os.path.join(self.root, program), os.X_OK), program)

    def test_desktop_entry_and_icons(self):
        entry = self.entry()["Desktop Entry"]
        self.assertEqual(entry["Type"], "Application")
        self.assertEqual(entry["Name"], "Rallix")
        self.assertTrue(entry["Comment"])
        self.assertEqual(entry["Icon"], "rallix")
        self.assertEqual(entry["Terminal"], "false")
        self.assertEqual(entry["Categories"], "Game;ArcadeGame;")
        self.assertEqual(split_exec(entry["Exec"]), ["/usr/games/rallix"])
        self.assertEqual(entry["Path"], "/usr/share/rallix")
        for size in (16, 32):
            icon = inside(self.root, f"/usr/share/icons/hicolor/{size}x{size}/apps/rallix.png")
            self.assertEqual(png_size(icon), (size, size), icon)
        validator = shutil.which("desktop-file-validate")
        if validator:
            path = inside(self.root, "/usr/share/applications/rallix.desktop")
            result = subprocess.run([validator, path], capture_output=True, text=True,
                                    check=False)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_started_as_its_desktop_entry_starts_it_shows_the_title_and_plays_sounds(self):
        entry = self.entry()["Desktop Entry"]
        argv = [inside(self.root, arg) if arg.startswith("/") else arg
                for arg in split_exec(entry["Exec"])]
        cwd = inside(self.root, entry["Path"])
        for sound in SOUNDS:
            self.assertTrue(os.path.isfile(os.path.join(cwd, sound)), sound)
        self.assertHeard(self.start_game(argv, cwd))

    def test_the_game_started_away_from_its_sounds_is_silent(self):
        # The check above hears a difference: the same game started in an
        # empty folder, without its launcher, plays nothing.
        empty = os.path.join(self.folder, "empty")
        os.mkdir(empty)
        game = self.start_game([inside(self.root, "/usr/libexec/rallix/rallix")], empty)
        samples, peak = self.play_to_the_first_point(game)
        self.assertGreater(samples, 0, "the disk audio driver wrote nothing")
        self.assertEqual(peak, 0)


class MovedInstallTest(InstalledGameTest):
    """`cmake --install` into a prefix that is then moved elsewhere."""

    def test_installed_tree_moved_elsewhere_still_finds_its_sounds(self):
        prefix = os.path.join(self.folder, "prefix")
        run([PATHS["cmake"], "--install", PATHS["build"], "--prefix", prefix])
        for path in ("bin/rallix", "libexec/rallix/rallix", "share/man/man6/rallix.6.gz",
                     "share/doc/rallix/copyright", "share/icons/hicolor/32x32/apps/rallix.png"):
            self.assertTrue(os.path.isfile(os.path.join(prefix, path)), path)
        for sound in SOUNDS:
            self.assertTrue(os.path.isfile(os.path.join(prefix, "share/rallix", sound)), sound)
        # The Debian package's own parts stay out.
        self.assertFalse(os.path.exists(os.path.join(prefix, "games")))
        self.assertFalse(os.path.exists(os.path.join(prefix, "share/doc/rallix/changelog.gz")))
        entry = read_desktop_entry(
            os.path.join(prefix, "share/applications/rallix.desktop"))["Desktop Entry"]
        self.assertEqual(split_exec(entry["Exec"]), [os.path.join(prefix, "bin/rallix")])
        self.assertEqual(entry["Path"], os.path.join(prefix, "share/rallix"))

        # Moved as a whole, started through a link on the PATH from a folder
        # without sounds: the launcher finds its game and its sounds.
        moved = os.path.join(self.folder, "moved prefix")
        os.rename(prefix, moved)
        links = os.path.join(self.folder, "links")
        os.mkdir(links)
        os.symlink(os.path.join(moved, "bin/rallix"), os.path.join(links, "rallix"))
        self.assertHeard(self.start_game([os.path.join(links, "rallix")], links))


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build-dir", required=True, help="the configured and built tree")
    parser.add_argument("--cmake", default="cmake", help="the cmake program")
    parser.add_argument("--cpack", default="cpack", help="the cpack program")
    parser.add_argument("--screen", required=True, help="the rallix_screen tool")
    parser.add_argument("tests", nargs="*", help="TestClass.test_name; all when none")
    args = parser.parse_args()
    PATHS.update(build=os.path.abspath(args.build_dir), cmake=args.cmake, cpack=args.cpack,
                 screen=args.screen)
    return run_suite(__name__, args.tests)


if __name__ == "__main__":
    sys.exit(main())
