#!/bin/sh
# Fuzzes the path every sound file takes before it is heard (the WAV loader
# and the conversion to the device's format; see fuzz/): builds the libFuzzer
# target with clang in build/fuzz, apart from the g++ builds, writes the seed
# corpus (the sound tests' variants and the game's four sounds) and fuzzes
# for SECONDS (default 600).
#
#   scripts/fuzz-sound.sh [SECONDS]
#
# Inputs that reach new code collect in build/fuzz/corpus and seed the next
# run. An input that crashes, leaks, hangs for 10 s or asks for more than
# 512 MB at once is saved in build/fuzz/artifacts and the script fails; replay
# it with build/fuzz/sound_decode_fuzzer build/fuzz/artifacts/<file>. The
# whole log is build/fuzz/fuzz.log; the last lines give the executions and
# the executions per second.
set -eu

seconds=${1:-600}
case "$seconds" in
  '' | *[!0-9]*)
    echo "usage: $0 [SECONDS]" >&2
    exit 2
    ;;
esac

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="${FUZZ_CXX:-clang++}" >/dev/null
cmake --build "$build" -j2 >/dev/null

rm -rf "$build/seeds"
mkdir -p "$build/seeds" "$build/corpus" "$build/artifacts"
"$build/make_sound_seeds" "$build/seeds" "$root"/assets/*.WAV

echo "fuzz-sound: fuzzing the sound loader for $seconds s (log: $build/fuzz.log)"
status=0
"$build/sound_decode_fuzzer" "$build/corpus" "$build/seeds" \
  -max_total_time="$seconds" -timeout=10 -malloc_limit_mb=512 -rss_limit_mb=2048 \
  -artifact_prefix="$build/artifacts/" -print_final_stats=1 >"$build/fuzz.log" 2>&1 || status=$?

if [ "$status" -ne 0 ]; then
  tail -n 60 "$build/fuzz.log" >&2
  echo "fuzz-sound: the fuzzer found a fault (status $status); the input is in $build/artifacts" >&2
  exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)' \
  "$build/fuzz.log" || true
echo "fuzz-sound: corpus of $(ls "$build/corpus" | wc -l) inputs, nothing found"
