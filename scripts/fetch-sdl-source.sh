#!/bin/sh
# Downloads the source of the SDL2 the game is built against (the installed
# Debian libsdl2-dev) through apt, once per machine, into sdl-source in the
# cache folder (scripts/cache-dir.sh), and prints the folder. The system's apt
# configuration is left as it is: the source index is kept under
# sdl-source/apt. The Windows build compiles this SDL
# (scripts/build-windows.sh), and so does the fuzz target's instrumented one:
#
#   RALLIX_SDL_SOURCE=$(scripts/fetch-sdl-source.sh) scripts/fuzz.sh sound 600
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
out="$(sh "$root/scripts/cache-dir.sh")/sdl-source"
apt_dir="$out/apt"

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
# The source index comes from the archive apt already uses for this release:
# every configured `deb` entry of the suite, turned into a `deb-src` one.
{
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && cat "$file" && echo
  done
} | awk -v suite="$suite" '
  function flush() {
    if (types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " suite " ") && uris != "") {
      print "Types: deb-src"; print "URIs: " uris; print "Suites: " suite
      print "Components: " components
      if (signed != "") print "Signed-By: " signed
      print ""
    }
    types = uris = suites = components = signed = ""
  }
  /^[ \t]*$/ { flush(); next }
  /^#/ { next }
  /^Types:/ { sub(/^Types:[ \t]*/, ""); types = $0 }
  /^URIs:/ { sub(/^URIs:[ \t]*/, ""); uris = $0 }
  /^Suites:/ { sub(/^Suites:[ \t]*/, ""); suites = $0 }
  /^Components:/ { sub(/^Components:[ \t]*/, ""); components = $0 }
  /^Signed-By:/ { sub(/^Signed-By:[ \t]*/, ""); signed = $0 }
  END { flush() }' >"$apt_dir/sources.sources"
# One-line entries in sources.list and sources.list.d/*.list.
cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | awk -v suite="$suite" '
  $1 == "deb" {
    i = 2
    if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; options = ""; for (j = 2; j <= i; j++) options = options " " $j; i++ }
    else options = ""
    if ($(i + 1) == suite) { line = "deb-src" options; for (j = i; j <= NF; j++) line = line " " $j; print line }
  }' >"$apt_dir/sources.list"
mkdir -p "$apt_dir/parts"
mv "$apt_dir/sources.sources" "$apt_dir/parts/debian.sources"
if ! grep -q . "$apt_dir/parts/debian.sources" "$apt_dir/sources.list"; then
  echo "fetch-sdl-source: apt has no deb entry for $suite to take the source from" >&2
  exit 1
fi
apt_get() {
  apt-get -q -o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts="$apt_dir/parts" \
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
