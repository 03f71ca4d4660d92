#!/bin/sh
# Downloads the source of the SDL2 the game is built against (the installed
# Debian libsdl2-dev) through apt, into build/fuzz/sdl-source, and prints the
# folder. The system's apt configuration is left as it is: the source index
# is kept under build/fuzz/apt. For the fuzz target's instrumented SDL:
#
#   RALLIX_SDL_SOURCE=$(scripts/fetch-sdl-source.sh) scripts/fuzz-sound.sh 600
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/fuzz/sdl-source"
apt_dir="$root/build/fuzz/apt"

version=$(dpkg-query -W -f='${source:Version}' libsdl2-dev 2>/dev/null || true)
if [ -z "$version" ]; then
  echo "fetch-sdl-source: libsdl2-dev is not installed (make deps)" >&2
  exit 1
fi
upstream=$(echo "$version" | sed 's/^[0-9]*://; s/[+-].*$//')
if [ -d "$out/SDL2-$upstream" ]; then
  echo "$out/SDL2-$upstream"
  exit 0
fi

# shellcheck disable=SC1091
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$out"
echo "deb-src http://deb.debian.org/debian $suite main" >"$apt_dir/sources.list"
apt_get() {
  apt-get -q -o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/nonexistent \
    -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" "$@"
}
apt_get update >&2
(cd "$out" && apt_get source "libsdl2=$version" >&2)
# dpkg-source names the folder after the Debian version.
unpacked=$(find "$out" -mindepth 1 -maxdepth 1 -type d -name 'libsdl2-*' | head -n 1)
if [ -z "$unpacked" ]; then
  echo "fetch-sdl-source: the source of libsdl2 $version did not unpack" >&2
  exit 1
fi
mv "$unpacked" "$out/SDL2-$upstream"
echo "$out/SDL2-$upstream"
