#!/bin/sh
# Cross-builds Rallix for ARM Linux with Debian's cross compilers, in the tree
# of the preset named after the architecture (build/arm64 or build/armhf;
# CMakePresets.json, cmake/toolchains/), and writes there:
#   rallix_<version>_<arch>.deb   the desktop game for Debian 12 and
#       Raspberry Pi OS, depending on the distribution's SDL2 (built against
#       libsdl2-dev:<arch>, which multiarch installs beside the machine's own);
#   rallix_libretro-<version>-linux-<arch>.zip   the libretro core, linked
#       against glibc 2.31 (scripts/fetch-glibc-sysroot.sh) with the C++
#       library inside, stripped, with its .info and a README saying where
#       they go on a handheld.
# --tests also builds what make test runs under qemu-user
# (tests/e2e/arm_test.py): the libretro tests' programs (with
# libgtest-dev:<arch>) and the timed replay. --core-only leaves out the game
# and its package, and with them the need for SDL2 of that architecture.
# Usage: scripts/build-arm.sh [--tests] [--core-only] arm64|armhf
#        (`make arm` builds both architectures whole)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
tests=OFF
game=true
while [ $# -gt 1 ]; do
  case $1 in
    --tests) tests=ON ;;
    --core-only) game=false ;;
    *) break ;;
  esac
  shift
done
arch=${1:-}
case $arch in
  arm64) triplet=aarch64-linux-gnu ;;
  armhf) triplet=arm-linux-gnueabihf ;;
  *)
    echo "usage: $0 [--tests] [--core-only] arm64|armhf" >&2
    exit 2
    ;;
esac
if ! command -v "$triplet-g++" >/dev/null 2>&1; then
  echo "build-arm: $triplet-g++ is missing (Debian package g++-$triplet; make deps installs it)" >&2
  exit 1
fi
out="$root/build/$arch"

# The C library the core links against, unpacked once per machine.
glibc=$(sh "$root/scripts/fetch-glibc-sysroot.sh" "$arch")

targets="rallix_libretro core_zip"
if $game; then
  targets="$targets rallix rallix_packaging_files"
fi
if [ "$tests" = ON ]; then
  targets="$targets rallix_timedemo test_libretro_frontend test_libretro_demo_replay"
fi
(cd "$root" && cmake --preset "$arch" -DRALLIX_BUILD_APP="$($game && echo ON || echo OFF)" \
  -DRALLIX_BUILD_TESTS="$tests" -DRALLIX_CORE_GLIBC="$glibc" >/dev/null)
# shellcheck disable=SC2086
cmake --build "$out" --target $targets
if $game; then
  rm -f "$out"/rallix_*.deb
  cpack -G DEB --config "$out/CPackConfig.cmake" -B "$out/packages" >/dev/null
  mv "$out"/packages/rallix_*.deb "$out"
  ls "$out"/rallix_*.deb
fi
ls "$out"/rallix_libretro-*.zip
