"""The game and the libretro core cross-built for ARM (scripts/build-arm.sh
--tests: build/arm64, build/armhf), run under qemu-user: the committed demos
replay to the lines they showed on x86-64 through each architecture's timed
replay and through its core; the core, loaded with dlopen by the libretro
tests' frontend, shows the title and its save state replays the runs after
it; the zip's core needs no more of a system than 2020's have; and the arm64
game, unpacked from its Debian package, shows the title in a private Xvfb.
Skipped when the builds are not there, or fails saying so under CI.

Run:  arm_test.py --arm DIR --build DIR --screen PATH --version X.Y.Z [TestClass.test_name ...]
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import (Game, GameTestCase, check_core_needs, missing, need,  # noqa: E402
                     replays_committed_demos, run_tests)
from package_test import packaged_files  # noqa: E402

PATHS = harness.PATHS
# Emulated, a program runs ten times slower or more (a few tens of seconds
# here), and so may the libretro tests' programs, past their watchdog's usual
# deadline; a busy machine stretches that again.
QEMU_SECONDS = 600
TEST_DEADLINE_SECONDS = 120


class CrossBuild:
    """The tests of one architecture's build (ARCH, TRIPLET, QEMU)."""
    TIMEOUT = QEMU_SECONDS + 60

    def setUp(self):
        super().setUp()
        self.build = os.path.join(need("arm")[0], self.ARCH)
        self.qemu = shutil.which(self.QEMU)
        if self.qemu is None:
            missing(f"{self.QEMU} (Debian's qemu-user)")
        if not os.path.exists(os.path.join(self.build, "web", "rallix_timedemo")):
            missing(f"{self.build} (scripts/build-arm.sh --tests {self.ARCH} builds it)")

    def emulated(self, program, *args):
        """The build's `program` run to its end under qemu-user."""
        env = dict(os.environ, LC_ALL="C", RALLIX_TEST_DEADLINE=str(TEST_DEADLINE_SECONDS))
        return subprocess.run([self.qemu, os.path.join(self.build, program), *args], env=env,
                              capture_output=True, text=True, timeout=QEMU_SECONDS, check=False)

    def passes(self, program, cases, count):
        """Runs the cases of a libretro test program; `count` must pass."""
        result = self.emulated(f"tests/test_libretro_{program}", f"--gtest_filter={cases}")
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn(f"[  PASSED  ] {count} test", result.stdout)

    def replays_the_demos_and_its_core_loads_on_the_systems_of_2020_on(self):
        replays_committed_demos(self, lambda path: self.emulated("web/rallix_timedemo", path))
        # The title through the shared object loaded with dlopen, and the save
        # states: one taken mid-rally that replays the 600 runs after it, one
        # taken paused, the golden one and those refused, and fields that do
        # not fit.
        self.passes("frontend", "*Title*:*State*", 6)
        folder = tempfile.mkdtemp(prefix="rallix-core-")
        self.addCleanup(shutil.rmtree, folder, True)
        with zipfile.ZipFile(os.path.join(self.build, f"rallix_libretro-{PATHS['version']}-linux-"
                                                      f"{self.ARCH}.zip")) as packed:
            self.assertEqual(sorted(packed.namelist()),
                             ["README.txt", "rallix_libretro.info", "rallix_libretro.so"])
            packed.extractall(folder)
        core = os.path.join(folder, "rallix_libretro.so")
        check_core_needs(self, core, f"{self.TRIPLET}-objdump")
        # No fused multiply-add, which rounds once where the game rounds
        # twice, though GCC makes them unasked for arm64 (cmake/Determinism.cmake).
        code = subprocess.run([f"{self.TRIPLET}-objdump", "-d", core], capture_output=True,
                              text=True, check=True).stdout
        self.assertIsNone(re.search(r"\s(fn?m(add|sub)|vfn?m[as]\.f(32|64))\s", code))
        # The same .info as the x86-64 core's.
        with open(os.path.join(folder, "rallix_libretro.info"), "rb") as info, \
                open(os.path.join(PATHS["build"], "libretro", "rallix_libretro.info"), "rb") as x86:
            self.assertEqual(info.read(), x86.read())


class Arm64Test(CrossBuild, GameTestCase):
    ARCH, TRIPLET, QEMU = "arm64", "aarch64-linux-gnu", "qemu-aarch64"

    def test_arm64_replays_the_demos_and_its_core_loads_on_the_systems_of_2020_on(self):
        self.replays_the_demos_and_its_core_loads_on_the_systems_of_2020_on()

    def test_arm64_core_replays_the_committed_demos_as_x86_64(self):
        self.passes("demo_replay", "*WhenItWasRecorded", 1)

    def test_arm64_package_holds_the_game_that_shows_the_title_under_qemu(self):
        deb = os.path.join(self.build, f"rallix_{PATHS['version']}_arm64.deb")
        field = lambda name: subprocess.run(  # noqa: E731
            ["dpkg-deb", "-f", deb, name], capture_output=True, text=True, check=True).stdout
        self.assertEqual(field("Architecture").strip(), "arm64")
        depends = [part.split()[0] for part in field("Depends").split(",")]
        self.assertTrue({"libsdl2-2.0-0", "libc6", "libstdc++6"} <= set(depends), depends)
        listing = subprocess.run(["dpkg-deb", "-c", deb], capture_output=True, text=True,
                                 check=True).stdout.splitlines()
        self.assertEqual(sorted(line.split()[-1] for line in listing if line[0] != "d"),
                         packaged_files(self.TRIPLET))

        root = tempfile.mkdtemp(prefix="rallix-arm64-")
        self.addCleanup(shutil.rmtree, root, True)
        subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
        game = Game(self.qemu, PATHS["screen"], display=self.x.display, cwd=root,
                    args=[os.path.join(root, "usr/games/rallix")])
        self.addCleanup(game.stop)
        game.start()
        game.find_window(timeout=QEMU_SECONDS / 5)
        game.wait_for_frame("title", timeout=QEMU_SECONDS / 5)
        self.assertEqual(game.stderr(), "")


class ArmhfTest(CrossBuild, unittest.TestCase):
    ARCH, TRIPLET, QEMU = "armhf", "arm-linux-gnueabihf", "qemu-arm"

    def test_armhf_replays_the_demos_and_its_core_loads_on_the_systems_of_2020_on(self):
        self.replays_the_demos_and_its_core_loads_on_the_systems_of_2020_on()

    def test_armhf_core_replays_the_committed_demos_as_x86_64(self):
        self.passes("demo_replay", "*WhenItWasRecorded", 1)


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
