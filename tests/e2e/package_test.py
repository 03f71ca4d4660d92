"""End-to-end tests of the installed game: the Debian package that CPack makes
from this build, unpacked into a temporary root, `cmake --install` into a
prefix that is then moved, and the program copied into a temporary folder
with its sounds. The game is started the way a desktop or a terminal starts
it, from a folder without sounds, under a private Xvfb, with its sound going
to SDL's disk driver.

Run one test:
  package_test.py --build-dir DIR --cmake PATH --cpack PATH --screen PATH \
      PackageTest.test_name
"""

import array
import glob
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import SOUNDS, GameTestCase, HarnessError, run_tests  # noqa: E402

PATHS = harness.PATHS
APP_ID = "net.rallix.Rallix"
ICON_SIZES = (16, 32, 48, 64, 128, 256)

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


def the_package(folder):
    """The Debian package of this build: the one made beforehand in
    --packages (ctest makes it once for all the tests), or else one made
    now in `folder`."""
    if not PATHS.get("packages"):
        return build_package(folder)
    found = glob.glob(os.path.join(PATHS["packages"], "rallix_*.deb"))
    if len(found) != 1:
        raise HarnessError(f"{PATHS['packages']} holds {found!r}, not one rallix_*.deb")
    return found[0]


def packaged_files(multiarch):
    """The files of the package for the architecture whose libraries lie in
    /usr/lib/`multiarch`, sorted."""
    return sorted([
        "./usr/games/rallix",
        f"./usr/share/applications/{APP_ID}.desktop",
        "./usr/share/doc/rallix/changelog.gz",
        "./usr/share/doc/rallix/copyright",
        "./usr/share/man/man6/rallix.6.gz",
        f"./usr/share/metainfo/{APP_ID}.metainfo.xml",
    ] + [f"./usr/share/icons/hicolor/{size}x{size}/apps/{APP_ID}.png" for size in ICON_SIZES]
        + [f"./usr/share/rallix/{sound}" for sound in SOUNDS]
        # The libretro core where Debian's RetroArch looks for cores.
        + [f"./usr/lib/{multiarch}/libretro/rallix_libretro.so",
           "./usr/share/libretro/info/rallix_libretro.info"])


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
            group[key.strip()] = re.sub(r"\\(.)", lambda m: ESCAPES.get(m[1], m[1]), value.strip())
    return groups


ESCAPES = {"s": " ", "n": "\n", "t": "\t", "r": "\r"}


def split_exec(value):
    """An Exec= value as a launcher splits it: double-quoted arguments with
    \\", \\`, \\$ and \\\\ escaped inside, as in a POSIX shell; %% is a
    percent sign and the other field codes are dropped."""
    args = (re.sub("%(.)", lambda m: "%" if m[1] == "%" else "", arg) for arg in shlex.split(value))
    return [arg for arg in args if arg]


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


def start_files_protect_control_flow():
    """Whether the C library's start file for position-independent programs
    is marked for control-flow protection (x86's IBT and SHSTK)."""
    start = run(["c++", "-print-file-name=Scrt1.o"]).strip()
    return "x86 feature: IBT, SHSTK" in run(["readelf", "-n", start])


class InstalledGameTest(GameTestCase):
    TIMEOUT = 180

    def setUp(self):
        super().setUp()
        self.folder = tempfile.mkdtemp(prefix="rallix-package-")
        self.addCleanup(shutil.rmtree, self.folder, True)

    def empty_folder(self, name):
        """A new folder without sounds, to start the game in."""
        folder = os.path.join(self.folder, name)
        os.mkdir(folder)
        return folder

    def play_to_the_first_point(self, game):
        """Shows the title, starts a game and stands still until the first
        point is decided (a miss sounds "pupu.WAV", a won point
        "pipopin.WAV"; the walls and paddles sound before it). The audio's
        (samples, peak) then."""
        game.wait_for_frame("title")
        game.press("space")

        def point_decided(lines):
            return lines[8][25:30].strip() not in ("", "0") or \
                lines[16][25:30].strip() not in ("", "0")

        game.wait_for_play(lambda lines, balls: point_decided(lines), "the first point",
                           timeout=FIRST_POINT_SECONDS)
        self.assertTrue(game.running(), f"stderr: {game.stderr()!r}")
        return audio_peak(game.audio_recording())

    def assertHeard(self, game):
        samples, peak = self.play_to_the_first_point(game)
        self.assertGreater(samples, 0, "the disk audio driver wrote nothing")
        self.assertGreater(peak, 1000, "the game was silent: it did not find its sounds")


class PackageTest(InstalledGameTest):
    # The package is made once for all of them (ctest's fixture rallix_deb).
    FIXTURES = ("rallix_deb",)
    """The .deb, unpacked with dpkg-deb -x into a temporary root."""

    def setUp(self):
        super().setUp()
        self.deb = the_package(os.path.join(self.folder, "packages"))
        self.root = os.path.join(self.folder, "root")
        run(["dpkg-deb", "-x", self.deb, self.root])

    def entry_path(self):
        return inside(self.root, f"/usr/share/applications/{APP_ID}.desktop")

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

        multiarch = run(["dpkg-architecture", "-qDEB_HOST_MULTIARCH"]).strip()
        files = sorted(line.split()[-1] for line in run(["dpkg-deb", "-c", self.deb]).splitlines()
                       if not line.startswith("d"))
        self.assertEqual(files, packaged_files(multiarch))
        # The core as built, which the package holds and may carry elsewhere.
        harness.check_core_needs(self, PATHS["core"], "objdump")
        # The game itself, stripped, and with no RPATH: its libraries are the
        # system's.
        game = inside(self.root, "/usr/games/rallix")
        self.assertTrue(os.access(game, os.X_OK), game)
        self.assertRegex(run(["file", "-b", game]), r"ELF.*, stripped")
        dynamic = run(["readelf", "-d", game])
        self.assertNotIn("RPATH", dynamic)
        self.assertNotIn("RUNPATH", dynamic)

    def test_the_packaged_game_is_hardened(self):
        # Debian's hardening-check: a position-independent executable with
        # the stack protector, fortified functions, read-only relocations
        # bound at start and control-flow protection. A program is marked as
        # control-flow protected only when everything linked into it is, the
        # C library's start files included; where those are not (Debian 12),
        # no program can be, and that one check is left out.
        checker = shutil.which("hardening-check")
        self.assertIsNotNone(checker, "hardening-check (devscripts) is not installed")
        options = [] if start_files_protect_control_flow() else ["--nocfprotection"]
        game = inside(self.root, "/usr/games/rallix")
        result = subprocess.run([checker, *options, game], capture_output=True, text=True,
                                check=False)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_desktop_entry_metainfo_and_icons_pass_their_validators(self):
        entry = read_desktop_entry(self.entry_path())["Desktop Entry"]
        self.assertEqual(entry["Name"], "Rallix")
        self.assertEqual(entry["Icon"], APP_ID)
        self.assertEqual(entry["Categories"], "Game;ArcadeGame;")
        self.assertEqual(split_exec(entry["Exec"]), ["/usr/games/rallix"])
        self.assertNotIn("Path", entry, "the game finds its sounds from wherever it starts")
        for size in ICON_SIZES:
            icon = inside(self.root, f"/usr/share/icons/hicolor/{size}x{size}/apps/{APP_ID}.png")
            self.assertEqual(png_size(icon), (size, size), icon)
        run(["desktop-file-validate", self.entry_path()])
        # Offline: addresses, where there are any, are checked for their form only.
        metainfo = inside(self.root, f"/usr/share/metainfo/{APP_ID}.metainfo.xml")
        run(["appstreamcli", "validate", "--no-net", "--explain", metainfo])
        run(["appstreamcli", "validate-tree", "--no-net", "--explain", self.root])

    def test_started_as_its_desktop_entry_from_anywhere_it_shows_the_title_and_plays_sounds(self):
        entry = read_desktop_entry(self.entry_path())["Desktop Entry"]
        argv = [inside(self.root, arg) if arg.startswith("/") else arg
                for arg in split_exec(entry["Exec"])]
        game = self.start_game(argv[0], args=argv[1:], cwd=self.empty_folder("home"))
        self.assertHeard(game)
        self.assertEqual(game.stderr(), "")


class StartedAwayTest(InstalledGameTest):
    """The program copied into a temporary folder with all but one of its
    sounds, and started from another folder."""

    def test_it_plays_the_sounds_beside_it_and_names_the_missing_one_in_one_line(self):
        folder = os.path.join(self.folder, "game")
        os.mkdir(folder)
        shutil.copy2(os.path.join(PATHS["build"], "app", "rallix"), folder)
        # Standing still, the first point is a miss ("pupu.WAV") or follows a
        # return ("pon.WAV"): either way it is heard without "pipopin.WAV".
        for sound in SOUNDS:
            if sound != "pipopin.WAV":
                shutil.copy2(os.path.join(PATHS["build"], "app", sound), folder)
        work = self.empty_folder("work")
        game = self.start_game(os.path.join(folder, "rallix"), cwd=work)
        self.assertHeard(game)
        lines = game.stderr().splitlines()
        self.assertEqual(len(lines), 1, lines)
        self.assertTrue(lines[0].startswith(
            f"rallix: sound file pipopin.WAV not found (looked in {work}, {folder}, "), lines[0])
        self.assertTrue(lines[0].endswith("); the game plays without it"), lines[0])


class MovedInstallTest(InstalledGameTest):
    """`cmake --install` into a prefix that is then moved elsewhere."""

    def test_installed_tree_moved_elsewhere_still_finds_its_sounds(self):
        prefix = os.path.join(self.folder, "prefix")
        run([PATHS["cmake"], "--install", PATHS["build"], "--prefix", prefix])
        for path in ("bin/rallix", "share/man/man6/rallix.6.gz", "share/doc/rallix/copyright",
                     f"share/metainfo/{APP_ID}.metainfo.xml",
                     f"share/icons/hicolor/256x256/apps/{APP_ID}.png"):
            self.assertTrue(os.path.isfile(os.path.join(prefix, path)), path)
        for sound in SOUNDS:
            self.assertTrue(os.path.isfile(os.path.join(prefix, "share/rallix", sound)), sound)
        # The Debian package's own parts stay out.
        self.assertFalse(os.path.exists(os.path.join(prefix, "games")))
        self.assertFalse(os.path.exists(os.path.join(prefix, "share/doc/rallix/changelog.gz")))
        entry = read_desktop_entry(
            os.path.join(prefix, f"share/applications/{APP_ID}.desktop"))["Desktop Entry"]
        self.assertEqual(split_exec(entry["Exec"]), [os.path.join(prefix, "bin/rallix")])

        # Moved as a whole, started through a link on the PATH from a folder
        # without sounds: the game finds its sounds in ../share/rallix.
        moved = os.path.join(self.folder, "moved prefix")
        os.rename(prefix, moved)
        links = self.empty_folder("links")
        os.symlink(os.path.join(moved, "bin/rallix"), os.path.join(links, "rallix"))
        game = self.start_game(os.path.join(links, "rallix"), cwd=links)
        self.assertHeard(game)
        self.assertEqual(game.stderr(), "")


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
