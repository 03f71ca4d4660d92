#!/bin/sh
# Installs what building, running and testing Rallix needs, when it is
# missing. Usage: scripts/install-deps.sh [player|test|arm]
#   player  what building and running the game needs (make run)
#   test    that and everything the tests need (make test; the default)
#   arm     what building the game and the core for ARM needs (make arm)
# The packages and how to tell each is there are in scripts/packages.txt. What
# is present is found by the tools themselves, so nothing is installed, and
# apt is never called, when everything is there already. Otherwise the
# missing Debian packages are installed with apt-get; without apt-get, or
# without root or password-less sudo, one message names them and the script
# stops with status 1.
# The test set also builds SDL2 for Windows once per machine, which no Debian
# package holds (scripts/build-windows.sh --sdl-only); it and the ARM set
# unpack the C library the libretro cores link against
# (scripts/fetch-glibc-sysroot.sh).
set -eu

list="$(dirname "$0")/packages.txt"
case ${1:-test} in
  player) sets="player" ;;
  test) sets="player test package cross" ;;
  arm) sets="player package cross arm" ;;
  *)
    echo "usage: $0 [player|test|arm]" >&2
    exit 2
    ;;
esac

missing=""
section=""
while IFS= read -r line || [ -n "$line" ]; do
  case $line in
    "" | "#"*) continue ;;
    "["*"]")
      section=${line#\[}
      section=${section%\]}
      continue
      ;;
  esac
  case " $sets " in
    *" $section "*) ;;
    *) continue ;;
  esac
  package=${line%%[ 	]*}
  probe=${line#"$package"}
  if ! sh -c "$probe" </dev/null >/dev/null 2>&1; then
    missing="$missing $package"
  fi
done <"$list"

# What the tests and the ARM builds need that no Debian package holds, made
# or unpacked once per machine in the cache folder (scripts/cache-dir.sh):
# SDL2 built for Windows, and the C library of Debian 11 for each core.
made_once() {
  case " $sets " in
    *" test "*)
      sh "$(dirname "$0")/build-windows.sh" --sdl-only
      sh "$(dirname "$0")/fetch-glibc-sysroot.sh" amd64 arm64 armhf >/dev/null
      ;;
    *" arm "*) sh "$(dirname "$0")/fetch-glibc-sysroot.sh" arm64 armhf >/dev/null ;;
  esac
}

if [ -z "$missing" ]; then
  made_once
  exit 0
fi

if ! command -v apt-get >/dev/null 2>&1; then
  echo "error: missing, and there is no apt-get to install it:$missing" \
    "(Debian's package names; scripts/packages.txt says what each provides)" >&2
  exit 1
fi

echo "Installing missing Debian packages:$missing"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=""
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  SUDO="sudo -n"
else
  echo "error: these Debian packages are missing and I cannot install them" \
    "(not root, and no password-less sudo):$missing; install them with: apt-get install$missing" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
# Packages of another architecture (name:arm64) come through multiarch.
for package in $missing; do
  case $package in
    *:*)
      arch=${package#*:}
      if [ "$arch" != "$(dpkg --print-architecture)" ] &&
        ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
        $SUDO dpkg --add-architecture "$arch"
      fi
      ;;
  esac
done
# A mirror caught in the middle of a sync fails one index or another: the
# lists apt already has may well hold what is missing.
$SUDO apt-get update -qq ||
  echo "warning: apt-get update failed; installing from the package lists apt already has" >&2
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
made_once
