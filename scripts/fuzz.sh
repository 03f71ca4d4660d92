#!/bin/sh
# Fuzzes a path that files from outside take (see fuzz/): builds the
# libFuzzer targets with clang under build/fuzz, apart from the g++ builds,
# writes the target's seed corpus and fuzzes it for SECONDS (default 600).
#
#   scripts/fuzz.sh TARGET [SECONDS]
#   scripts/fuzz.sh --build      (builds the targets and stops)
#
# The targets:
#   sound  every sound file before it is heard: the WAV loader and the
#          conversion to the device's format (sound_decode_fuzzer), seeded
#          with the sound tests' variants and the game's four sounds;
#   demo   the demo file's reader (demo_parse_fuzzer), seeded with the
#          committed demos and what the fuzzer found before
#          (tests/data/fuzz/demo/, which the unit tests read again);
#   state  the libretro core's save states and the game a state it takes
#          leads to (state_load_fuzzer), seeded with the committed states
#          (tests/data/states/) and what the fuzzer found before
#          (tests/data/fuzz/state/, which the unit tests load again).
#
# By default the sound target links the Debian SDL2, which the fuzzer cannot
# see into: it checks our code, SDL's allocations and the memory SDL hands to
# the C library. With RALLIX_SDL_SOURCE set to the source of the same SDL2
# (scripts/fetch-sdl-source.sh prints one), SDL is built from it with the
# fuzzer's coverage, AddressSanitizer and UndefinedBehaviorSanitizer (less
# the shifts of negative samples its converters make on purpose), so the
# fuzzer steers through SDL's WAV loader and converters and every memory
# access there is checked.
#
# Inputs that reach new code collect in build/fuzz/TARGET/corpus and seed the
# next run. An input that crashes, leaks, hangs for 10 s or asks for more
# than 512 MB at once is saved in build/fuzz/TARGET/artifacts and the script
# fails; replay it with <build>/<target's fuzzer> <file>. The whole log is
# build/fuzz/TARGET/fuzz.log; the last lines give the executions and the
# executions per second.
set -eu

usage() {
  echo "usage: $0 sound|demo|state [SECONDS]  or  $0 --build" >&2
  exit 2
}

name=${1:-}
seconds=${2:-600}
case "$name" in
  --build) ;;
  sound) fuzzer=sound_decode_fuzzer ;;
  demo) fuzzer=demo_parse_fuzzer ;;
  state) fuzzer=state_load_fuzzer ;;
  *) usage ;;
esac
case "$seconds" in
  '' | *[!0-9]*) usage ;;
esac

root=$(cd "$(dirname "$0")/.." && pwd)
fuzz="$root/build/fuzz"
compiler=${FUZZ_CXX:-clang++}
c_compiler=${FUZZ_CC:-clang}

# The game's core for the save state target, built from its own CMake lists
# with the fuzzer's coverage, AddressSanitizer and UndefinedBehaviorSanitizer.
core="$fuzz/core"
flags="-O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
cmake -S "$root" -B "$core" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$flags -fno-omit-frame-pointer" \
  -DRALLIX_BUILD_APP=OFF -DRALLIX_BUILD_TESTS=OFF -DRALLIX_BUILD_BENCH=OFF -DRALLIX_HARDEN=OFF \
  >/dev/null
cmake --build "$core" -j2 --target rallix_libretro_core >/dev/null

if [ -n "${RALLIX_SDL_SOURCE:-}" ]; then
  sdl="$fuzz/sdl"
  if [ ! -f "$sdl/lib/libSDL2.a" ]; then
    echo "fuzz: building SDL2 from $RALLIX_SDL_SOURCE with the fuzzer's instrumentation"
    flags="-O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize=shift-base"
    flags="$flags -fno-sanitize-recover=all -fno-omit-frame-pointer"
    # Only what loading and converting sounds needs.
    cmake -S "$RALLIX_SDL_SOURCE" -B "$fuzz/sdl-build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER="$c_compiler" -DCMAKE_C_FLAGS_RELWITHDEBINFO="$flags" \
      -DCMAKE_INSTALL_PREFIX="$sdl" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
      -DSDL_VIDEO=OFF -DSDL_RENDER=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF \
      -DSDL_SENSOR=OFF -DSDL_POWER=OFF -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DSDL_FILESYSTEM=OFF \
      -DSDL_ALSA=OFF -DSDL_PULSEAUDIO=OFF -DSDL_PIPEWIRE=OFF -DSDL_JACK=OFF -DSDL_SNDIO=OFF \
      -DSDL_OSS=OFF -DSDL_ESD=OFF -DSDL_ARTS=OFF -DSDL_NAS=OFF -DSDL_LIBSAMPLERATE=OFF \
      -DSDL_DBUS=OFF -DSDL_IBUS=OFF >"$fuzz/sdl-build.log" 2>&1
    cmake --build "$fuzz/sdl-build" -j2 >>"$fuzz/sdl-build.log" 2>&1
    cmake --install "$fuzz/sdl-build" >>"$fuzz/sdl-build.log" 2>&1
  fi
  build="$fuzz/own-sdl"
  cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" \
    -DRALLIX_FUZZ_SDL_PREFIX="$sdl" -DRALLIX_FUZZ_CORE_BUILD="$core" >/dev/null
else
  build="$fuzz/debian-sdl"
  cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" \
    -DRALLIX_FUZZ_CORE_BUILD="$core" >/dev/null
fi
cmake --build "$build" -j2 >/dev/null
if [ "$name" = --build ]; then
  echo "fuzz: built the targets in $build"
  exit 0
fi

work="$fuzz/$name"
rm -rf "$work/seeds"
mkdir -p "$work/seeds" "$work/corpus" "$work/artifacts"
case "$name" in
  sound) "$build/make_sound_seeds" "$work/seeds" "$root"/assets/*.WAV ;;
  demo)
    cp "$root"/tests/data/demos/*.demo "$work/seeds/"
    find "$root/tests/data/fuzz/demo" -type f ! -name '*.md' -exec cp {} "$work/seeds/" \;
    ;;
  state)
    cp "$root"/tests/data/states/*.state "$work/seeds/"
    find "$root/tests/data/fuzz/state" -type f ! -name '*.md' -exec cp {} "$work/seeds/" \;
    ;;
esac
# A state, and after it a byte of the pad's buttons for each run.
extra=""
[ "$name" = state ] && extra="-max_len=4352"

echo "fuzz: fuzzing $fuzzer for $seconds s (log: $work/fuzz.log)"
status=0
"$build/$fuzzer" "$work/corpus" "$work/seeds" \
  -max_total_time="$seconds" -timeout=10 -malloc_limit_mb=512 -rss_limit_mb=2048 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 $extra >"$work/fuzz.log" 2>&1 ||
  status=$?

if [ "$status" -ne 0 ]; then
  tail -n 60 "$work/fuzz.log" >&2
  echo "fuzz: $fuzzer found a fault (status $status); the input is in $work/artifacts" >&2
  exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)' \
  "$work/fuzz.log" || true
echo "fuzz: $fuzzer's corpus holds $(find "$work/corpus" -type f | wc -l) inputs, nothing found"
