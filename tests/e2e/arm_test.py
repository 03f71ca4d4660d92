"""The game and the libretro core cross-built for ARM (scripts/build-arm.sh
--tests: build/arm64, build/armhf), run under qemu-user: the committed demos
replay to the lines they showed on x86-64 through each architecture's timed
replay and through its core; the core, loaded with dlopen by the libretro
tests' frontend, shows the title and its save state replays the runs after
it; the zip's core needs no more of a system than 2020's have; and the arm64
game, unpacked from its Debian package, shows the title in a private Xvfb.
Skipped when the builds are not there, or fails saying so under CI.

Run:  arm_test.py --arm DIR --screen PATH --version X.Y.Z [TestClass.test_name ...]
"""

import os
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
# Emulated, a program starts and runs several times slower: ten times the
# processor time the test programs' watchdog allows.
QEMU_SECONDS = 300
TEST_DEADLINE_SECONDS = 100


class CrossBuild:
    """The tests of one architecture's build (ARCH, TRIPLET, QEMU)."""
    TIMEOUT = QEMU_SECONDS

    def setUp(self):
        super().setUp()
        (folder,) = need("arm")
        self.build = os.path.join(folder, self.ARCH)
        self.qemu = shutil.which(self.QEMU)
        if self.qemu is None:
            missing(f"{self.QEMU} (Debian's qemu-user)")
        if not os.path.exists(os.path.join(self.build, "web", "rallix_timedemo")):
            missing(f"{self.build} (scripts/build-arm.sh --tests {self.ARCH} builds it)")

    def emulated(self, program, *args):
        """`program` of the build run to its end under qemu-user, with the
        architecture's libraries from multiarch."""
        return subprocess.run([self.qemu, program, *args],
                              capture_output=True, text=True, timeout=QEMU_SECONDS,
                              check=False, env=dict(os.environ, LC_ALL="C",
                                                    RALLIX_TEST_DEADLINE=str(TEST_DEADLINE_SECONDS)))

    def replays_the_committed_demos_timed_and_through_the_core(self):
        replays_committed_demos(self, lambda path: self.emulated(
            os.path.join(self.build, "web", "rallix_timedemo"), path))
        # The core's own frontend: the demos through the core, the title
        # through the shared object loaded with dlopen, and a save state
        # taken mid-rally that replays the 600 runs after it.
        for program, cases, count in (("demo_replay", "*", 1), ("frontend", "*Title*:*State*", 2)):
            result = self.emulated(os.path.join(self.build, "tests", f"test_libretro_{program}"),
                                   f"--gtest_filter={cases}")
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            self.assertIn(f"[  PASSED  ] {count} test", result.stdout)

    def zip_holds_a_core_that_loads_on_the_systems_of_2020_on(self):
        zip_path = os.path.join(
            self.build, f"rallix_libretro-{PATHS['version']}-linux-{self.ARCH}.zip")
        folder = tempfile.mkdtemp(prefix="rallix-core-")
        self.addCleanup(shutil.rmtree, folder, True)
        with zipfile.ZipFile(zip_path) as packed:
            self.assertEqual(sorted(packed.namelist()),
                             ["README.txt", "rallix_libretro.info", "rallix_libretro.so"])
            packed.extractall(folder)
        core = os.path.join(folder, "rallix_libretro.so")
        check_core_needs(self, core, f"{self.TRIPLET}-objdump")
        with open(os.path.join(folder, "README.txt"), encoding="utf-8") as readme:
            self.assertIn("cores folder", readme.read())
        # The same .info as the x86-64 core's.
        with open(os.path.join(folder, "rallix_libretro.info"), encoding="utf-8") as info, \
                open(os.path.join(PATHS["build"], "libretro", "rallix_libretro.info"),
                     encoding="utf-8") as native:
            self.assertEqual(info.read(), native.read())


class Arm64Test(CrossBuild, GameTestCase):
    ARCH, TRIPLET, QEMU = "arm64", "aarch64-linux-gnu", "qemu-aarch64"

    def test_arm64_replays_the_committed_demos_as_x86_64_timed_and_through_the_core(self):
        self.replays_the_committed_demos_timed_and_through_the_core()

    def test_arm64_zip_holds_a_core_that_loads_on_the_systems_of_2020_on(self):
        self.zip_holds_a_core_that_loads_on_the_systems_of_2020_on()

    def test_arm64_package_holds_the_game_that_shows_the_title_under_qemu(self):
        debs = [name for name in os.listdir(self.build) if name.endswith("_arm64.deb")]
        self.assertEqual(debs, [f"rallix_{PATHS['version']}_arm64.deb"])
        deb = os.path.join(self.build, debs[0])
        field = lambda name: subprocess.run(  # noqa: E731
            ["dpkg-deb", "-f", deb, name], capture_output=True, text=True, check=True).stdout
        self.assertEqual(field("Architecture").strip(), "arm64")
        depends = [part.split()[0] for part in field("Depends").split(",")]
        for library in ("libsdl2-2.0-0", "libc6", "libstdc++6"):
            self.assertIn(library, depends)
        listing = subprocess.run(["dpkg-deb", "-c", deb], capture_output=True, text=True,
                                 check=True).stdout
        self.assertEqual(sorted(line.split()[-1] for line in listing.splitlines()
                                if not line.startswith("d")),
                         packaged_files(self.TRIPLET))

        root = tempfile.mkdtemp(prefix="rallix-arm64-")
        self.addCleanup(shutil.rmtree, root, True)
        subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
        home = os.path.join(root, "home")
        os.mkdir(home)
        game = Game(self.qemu, PATHS["screen"], display=self.x.display, cwd=home,
                    args=[os.path.join(root, "usr/games/rallix")])
        self.addCleanup(game.stop)
        game.start()
        game.find_window(timeout=QEMU_SECONDS / 5)
        game.wait_for_frame("title", timeout=QEMU_SECONDS / 5)
        self.assertEqual(game.stderr(), "")


class ArmhfTest(CrossBuild, unittest.TestCase):
    ARCH, TRIPLET, QEMU = "armhf", "arm-linux-gnueabihf", "qemu-arm"

    def test_armhf_replays_the_committed_demos_as_x86_64_timed_and_through_the_core(self):
        self.replays_the_committed_demos_timed_and_through_the_core()

    def test_armhf_zip_holds_a_core_that_loads_on_the_systems_of_2020_on(self):
        self.zip_holds_a_core_that_loads_on_the_systems_of_2020_on()


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
