#!/bin/sh
# Cross-compiles the game for 64-bit Windows with Debian's mingw-w64: SDL2
# from Debian's own source (the version the Linux build uses, fetched through
# apt by scripts/fetch-sdl-source.sh) as a static library, then rallix.exe
# against it, packed with its sounds and the libretro core
# rallix_libretro.dll as rallix-<version>-windows-x64.zip in the build
# folder. SDL is built once per version and machine, as an installed package
# would be, in the cache folder (scripts/cache-dir.sh);
# make deps builds it there with --sdl-only.
# Usage: scripts/build-windows.sh [build-dir]     (`make windows` runs it;
#        scripts/build-windows.sh --sdl-only      the build folder is
#                                                 build/windows by default)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
sdl_only=false
if [ "${1:-}" = --sdl-only ]; then
  sdl_only=true
  shift
fi
out=${1:-$root/build/windows}
toolchain="$root/cmake/toolchains/mingw-w64-x86_64.cmake"

for tool in x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "build-windows: $tool is missing (Debian package mingw-w64; make deps installs it)" >&2
    exit 1
  fi
done

version=$(dpkg-query -W -f='${source:Version}' "libsdl2-dev:$(dpkg --print-architecture)" 2>/dev/null | sed 's/^[0-9]*://; s/[+-].*$//')
if [ -z "$version" ]; then
  echo "build-windows: libsdl2-dev is not installed (make deps)" >&2
  exit 1
fi
# Only the parts of SDL the game uses: video on the window surface (GDI, no
# renderer, OpenGL or Vulkan), events, the keyboard, joysticks and game
# controllers (XInput, DirectInput, raw input, HIDAPI), audio (WASAPI,
# DirectSound, winmm, and the disk and dummy drivers the tests use), timers,
# threads and the file system; optimised as Debian builds it (-O2).
sdl_options="-DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_RENDER=OFF -DSDL_OPENGL=OFF
  -DSDL_OPENGLES=OFF -DSDL_VULKAN=OFF -DSDL_HAPTIC=OFF -DSDL_SENSOR=OFF -DSDL_POWER=OFF
  -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DSDL_OFFSCREEN=OFF"
# A build per version and choice of parts, made once and kept.
sdl="$(sh "$root/scripts/cache-dir.sh")/sdl2-windows-$version-$(echo "$sdl_options" | cksum | cut -d' ' -f1)"
if [ ! -f "$sdl/lib/libSDL2.a" ]; then
  echo "build-windows: building SDL2 $version for Windows (once; log in $sdl.log)"
  source_dir=$(sh "$root/scripts/fetch-sdl-source.sh")
  rm -rf "$sdl-build" "$sdl"
  {
    # shellcheck disable=SC2086
    cmake -S "$source_dir" -B "$sdl-build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_INSTALL_PREFIX="$sdl" $sdl_options &&
      cmake --build "$sdl-build" &&
      cmake --install "$sdl-build"
  } >"$sdl.log" 2>&1 || {
    tail -n 30 "$sdl.log" >&2
    echo "build-windows: SDL2 $version did not build (log: $sdl.log)" >&2
    exit 1
  }
  rm -rf "$sdl-build"
fi
if $sdl_only; then
  exit 0
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)

# The preset `windows` (CMakePresets.json): optimised as the Linux build is
# (-O2), without debug information, each library compiled as one unity file
# (windows.h and SDL.h read once).
(cd "$root" && cmake --preset windows -B "$out/game" -DSDL2_DIR="$sdl/lib/cmake/SDL2" \
  -DRALLIX_ZIP_DIR="$out" >/dev/null)
# hold_folder_lock.exe and windows_system_test.exe, beside the zip, are the
# Wine test's (tests/e2e/windows).
cmake --build "$out/game" --target windows_zip rallix_libretro hold_folder_lock \
  windows_system_test
ls "$out"/rallix-*-windows-x64.zip
