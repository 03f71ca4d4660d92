#!/bin/sh
# Every check and every test, the quickest to fail first (`make test` runs it
# once the packages are there):
#   1. checks  the layering check and clang-format, in seconds;
#   2. builds  side by side: in the optimised build only the game and the
#              programs the end-to-end and browser tests run; the sanitizer
#              build whole (every unit test, compiled once, there; the
#              programs for a few window tests); the Windows game; the
#              browser version; for arm64 the game, its package and the
#              libretro core with its tests' programs, for armhf the core
#              and those programs; the fuzz targets of the sound loader, the
#              demo reader and the save states;
#   3. tests   side by side: ctest in both builds (the optimised one runs
#              the window, package, Wine, ARM (under qemu-user) and browser
#              tests and the page script's own, the sanitizer one every unit
#              test and a few window tests), each fuzzer for 30 s (when its
#              target has changed) and clang-tidy; then the documents' sizes
#              against what was built;
# then a table of how long each took. Each job's output goes to
# build/logs/<job>.log and is shown when the job fails (ctest's always).
#   scripts/test.sh
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
logs=build/logs
mkdir -p "$logs"
rm -f "$logs"/*.log "$logs"/*.time "$logs"/*.cpu

# CI runs every test: a missing tool fails the test that needs it.
: "${CI:=}"
export CI

now() { date +%s.%N; }
start=$(now)
failed=""

# job NAME COMMAND...: runs the command with its output in NAME's log, its
# start and end in NAME's time file and the processor time it and all its
# children used in NAME's cpu file (the shell's `times`); a failure names the
# job in $logs/failed.
job() {
  name=$1
  shift
  begun=$(now)
  if sh -c '"$@"; status=$?; times >&3; exit $status' "$name" "$@" \
    3>"$logs/$name.cpu" >"$logs/$name.log" 2>&1; then
    status=0
  else
    status=$?
    echo "$name" >>"$logs/failed"
  fi
  echo "$begun $(now) $status" >"$logs/$name.time"
  return "$status"
}

# show NAME: the job's log, all of it when asked or when it failed, else its
# last lines.
show() {
  status=$(awk '{print $3}' "$logs/$1.time")
  if [ "$status" -ne 0 ]; then
    echo "=== $1 failed (status $status); its log, $logs/$1.log:"
    cat "$logs/$1.log"
  elif [ "${2:-}" = all ]; then
    echo "=== $1"
    cat "$logs/$1.log"
  fi
}

rm -f "$logs/failed"

# 1. The checks that need no build.
echo "== checks: layers and clang-format"
job checks sh scripts/quick-checks.sh
show checks all

# 2. and 3. The builds and the tests, in three lines of work side by side,
# each test starting as soon as what it needs is built (so the window tests,
# which mostly wait for what they look for, run while the sanitizer build
# still compiles):
#   the optimised, Windows, browser and ARM builds, then the optimised
#     tree's ctest (the window, package, Wine, ARM and browser tests);
#   the sanitizer build, then its ctest, and clang-tidy (which also reads
#     the Windows build) beside it;
#   the fuzz targets, then 30 s of fuzzing each.
# The window and browser tests steer and watch the game in real time, so the
# builds and clang-tidy beside them, which only need to finish, run at a lower
# priority: they take what processor time the tests leave (a lost game's
# steering missed every ball with a first clang-tidy run beside it, 1 run in
# 4; 6 of 6 passed with clang-tidy at the lower priority).

# built NAME...: whether each of these jobs has ended, and well.
built() {
  for name in "$@"; do
    [ -f "$logs/$name.time" ] && [ "$(awk '{print $3}' "$logs/$name.time")" -eq 0 ] || return 1
  done
}

# after NAME: waits until the job has ended.
after() {
  until [ -f "$logs/$1.time" ]; do sleep 1; done
}

if [ ! -s "$logs/failed" ]; then
  echo "== builds and tests: optimised, Windows, browser and ARM builds, then their tests;" \
    "sanitizer build, then its tests and clang-tidy; fuzz targets, then 30 s of fuzzing each"
  (
    job build-default sh -c 'cmake --preset default >/dev/null &&
      cmake --build --preset default --target rallix_e2e_programs' &
    job build-windows sh scripts/build-windows.sh build/windows &
    job build-web sh scripts/build-web.sh build/web &
    job build-arm64 sh scripts/build-arm.sh --tests arm64 &
    job build-armhf sh scripts/build-arm.sh --tests --core-only armhf &
    wait
    if built build-default build-windows build-web build-arm64 build-armhf; then
      job ctest-default ctest --preset default --label-regex '^(e2e|node)$'
      job check-docs python3 scripts/check-docs.py
    fi
  ) &
  (
    job build-asan nice -n 10 sh -c 'cmake --preset asan >/dev/null && cmake --build --preset asan'
    if built build-asan; then
      job ctest-asan ctest --preset asan &
      after build-windows
      job clang-tidy nice -n 10 sh scripts/tidy.sh
      wait
    fi
  ) &
  (
    # Each fuzz target runs when it has changed since it last ran clean (a
    # change to how sounds are loaded, demos read or states taken, or to the
    # game a state leads to), and always on a new checkout.
    if job build-fuzz nice -n 10 sh scripts/fuzz.sh --build; then
      for target in sound demo state; do
        fuzzed=build/fuzz/$target/fuzzed-clean
        if [ -f "$fuzzed" ] &&
          [ -z "$(find build/fuzz -name "${target}_*_fuzzer" -newer "$fuzzed")" ]; then
          echo "== fuzz: the $target fuzz target has not changed since it was last fuzzed clean"
        elif job "fuzz-$target" sh scripts/fuzz.sh "$target" 30; then
          touch "$fuzzed"
        fi
      done
    fi
  ) &
  wait
  for name in build-default build-asan build-windows build-web build-arm64 build-armhf build-fuzz; do
    [ -f "$logs/$name.time" ] && show "$name"
  done
  for name in ctest-default ctest-asan; do
    [ -f "$logs/$name.time" ] || continue
    show "$name" all | grep -v -E '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed ' || true
  done
  for name in check-docs fuzz-sound fuzz-demo fuzz-state clang-tidy; do
    [ -f "$logs/$name.time" ] && show "$name" all
  done
fi

# The table.
end=$(now)
echo
echo "stage                      start    took   processor"
for name in checks build-default build-asan build-windows build-web build-arm64 build-armhf \
  build-fuzz ctest-default check-docs ctest-asan fuzz-sound fuzz-demo fuzz-state clang-tidy; do
  [ -f "$logs/$name.time" ] || continue
  read -r begun ended status <"$logs/$name.time"
  # The second line of `times`: the children's user and system time, as
  # 1m2.50s 0m0.40s.
  cpu=$(sed -n 2p "$logs/$name.cpu" 2>/dev/null | awk '{
    t = 0
    for (i = 1; i <= 2; i++) { split($i, p, "m"); t += p[1] * 60 + p[2] }
    print t }')
  awk -v n="$name" -v s="$start" -v b="$begun" -v e="$ended" -v st="$status" -v c="${cpu:-0}" 'BEGIN {
    printf "%-24s %6.0f s %6.0f s %7.0f s%s\n", n, b - s, e - b, c, (st == 0 ? "" : "  FAILED")
  }'
  cpu_total=$(awk -v a="${cpu_total:-0}" -v c="${cpu:-0}" 'BEGIN { print a + c }')
done
awk -v s="$start" -v e="$end" -v c="${cpu_total:-0}" 'BEGIN {
  printf "%-24s          %6.0f s %7.0f s   (%d min %02d s)\n", "make test", e - s, c, (e - s) / 60, (e - s) % 60 }'

if [ -s "$logs/failed" ]; then
  echo "failed: $(tr '\n' ' ' <"$logs/failed")"
  exit 1
fi
