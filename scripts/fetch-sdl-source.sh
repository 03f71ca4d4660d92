#!/bin/sh
# Downloads the source of the SDL2 the game is built against (the installed
# Debian libsdl2-dev of the machine's own architecture) through apt, once per
# machine, into sdl-source in the cache folder (scripts/cache-dir.sh), and
# prints the folder. The system's apt configuration is left as it is: the
# source index is kept under sdl-source/apt (scripts/private-apt.sh). The Windows build compiles this SDL
# (scripts/build-windows.sh), and so does the fuzz target's instrumented one:
#
#   RALLIX_SDL_SOURCE=$(scripts/fetch-sdl-source.sh) scripts/fuzz.sh sound 600
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
out="$(sh "$root/scripts/cache-dir.sh")/sdl-source"
apt_dir="$out/apt"

version=$(dpkg-query -W -f='${source:Version}' "libsdl2-dev:$(dpkg --print-architecture)" 2>/dev/null || true)
if [ -z "$version" ]; then
  echo "fetch-sdl-source: libsdl2-dev is not installed (make deps)" >&2
  exit 1
fi
upstream=$(echo "$version" | sed 's/^[0-9]*://; s/[+-].*$//')
if [ -d "$out/SDL2-$upstream" ]; then
  echo "$out/SDL2-$upstream"
  exit 0
fi

# The source index comes from the archive apt already uses for this release.
# shellcheck disable=SC1091
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
mkdir -p "$out"
. "$root/scripts/private-apt.sh"
private_apt "$apt_dir" deb-src "$suite"
(cd "$out" && apt_private source "libsdl2=$version" >&2)
# dpkg-source names the folder after the Debian version.
unpacked=$(find "$out" -mindepth 1 -maxdepth 1 -type d -name 'libsdl2-*' | head -n 1)
if [ -z "$unpacked" ]; then
  echo "fetch-sdl-source: the source of libsdl2 $version did not unpack" >&2
  exit 1
fi
mv "$unpacked" "$out/SDL2-$upstream"
echo "$out/SDL2-$upstream"
