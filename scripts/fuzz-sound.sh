#!/bin/sh
# Fuzzes the path every sound file takes before it is heard (the WAV loader
# and the conversion to the device's format; see fuzz/): builds the libFuzzer
# target with clang under build/fuzz, apart from the g++ builds, writes the
# seed corpus (the sound tests' variants and the game's four sounds) and
# fuzzes for SECONDS (default 600).
#
#   scripts/fuzz-sound.sh [SECONDS]
#   scripts/fuzz-sound.sh --build      (builds the target and stops)
#
# By default the target links the Debian SDL2, which the fuzzer cannot see
# into: it checks our code, SDL's allocations and the memory SDL hands to the
# C library. With RALLIX_SDL_SOURCE set to the source of the same SDL2
# (scripts/fetch-sdl-source.sh prints one), SDL is built from it with the
# fuzzer's coverage, AddressSanitizer and UndefinedBehaviorSanitizer (less
# the shifts of negative samples its converters make on purpose), so the
# fuzzer steers through SDL's WAV loader and converters and every memory
# access there is checked.
#
# Inputs that reach new code collect in build/fuzz/corpus and seed the next
# run. An input that crashes, leaks, hangs for 10 s or asks for more than
# 512 MB at once is saved in build/fuzz/artifacts and the script fails; replay
# it with <target>/sound_decode_fuzzer build/fuzz/artifacts/<file>. The whole
# log is build/fuzz/fuzz.log; the last lines give the executions and the
# executions per second.
set -eu

seconds=${1:-600}
build_only=false
if [ "$seconds" = --build ]; then
  build_only=true
  seconds=0
fi
case "$seconds" in
  '' | *[!0-9]*)
    echo "usage: $0 [SECONDS]" >&2
    exit 2
    ;;
esac

root=$(cd "$(dirname "$0")/.." && pwd)
fuzz="$root/build/fuzz"
compiler=${FUZZ_CXX:-clang++}
c_compiler=${FUZZ_CC:-clang}

if [ -n "${RALLIX_SDL_SOURCE:-}" ]; then
  sdl="$fuzz/sdl"
  if [ ! -f "$sdl/lib/libSDL2.a" ]; then
    echo "fuzz-sound: building SDL2 from $RALLIX_SDL_SOURCE with the fuzzer's instrumentation"
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
  target="$fuzz/own-sdl"
  cmake -S "$root/fuzz" -B "$target" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" \
    -DRALLIX_FUZZ_SDL_PREFIX="$sdl" >/dev/null
else
  target="$fuzz/debian-sdl"
  cmake -S "$root/fuzz" -B "$target" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" >/dev/null
fi
cmake --build "$target" -j2 >/dev/null
if [ "$build_only" = true ]; then
  echo "fuzz-sound: built $target"
  exit 0
fi

rm -rf "$fuzz/seeds"
mkdir -p "$fuzz/seeds" "$fuzz/corpus" "$fuzz/artifacts"
"$target/make_sound_seeds" "$fuzz/seeds" "$root"/assets/*.WAV

echo "fuzz-sound: fuzzing the sound loader for $seconds s with $target (log: $fuzz/fuzz.log)"
status=0
"$target/sound_decode_fuzzer" "$fuzz/corpus" "$fuzz/seeds" \
  -max_total_time="$seconds" -timeout=10 -malloc_limit_mb=512 -rss_limit_mb=2048 \
  -artifact_prefix="$fuzz/artifacts/" -print_final_stats=1 >"$fuzz/fuzz.log" 2>&1 || status=$?

if [ "$status" -ne 0 ]; then
  tail -n 60 "$fuzz/fuzz.log" >&2
  echo "fuzz-sound: the fuzzer found a fault (status $status); the input is in $fuzz/artifacts" >&2
  exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)' \
  "$fuzz/fuzz.log" || true
echo "fuzz-sound: corpus of $(find "$fuzz/corpus" -type f | wc -l) inputs, nothing found"
