#!/bin/sh
# The proof that the end-to-end and browser tests are not flaky: all of them
# (ctest's label e2e, in the optimised build and the sanitizer build) three
# times over while two busy loops hold both cores, as another job on the
# machine would. Every pass must pass. Build first (make build build-asan
# windows web); `make test-under-load` does. Each run's log is kept in
# build/under-load/; the end is a table of every run, then the tests that
# failed. Each build's tests run as many at a time as its test preset says,
# as in `make test`.
#   scripts/test-under-load.sh [PASSES]
set -u
cd "$(dirname "$0")/.."
passes=${1:-3}
logs=build/under-load
mkdir -p "$logs"
rm -f "$logs"/*.log "$logs/summary" "$logs/failures"

busy=""
for core in 1 2; do
  sh -c 'while :; do :; done' &
  busy="$busy $!"
done
# shellcheck disable=SC2086
trap 'kill $busy 2>/dev/null' EXIT
trap 'exit 1' INT TERM

now() { date +%s; }
begun=$(now)
failed_runs=0
pass=1
while [ "$pass" -le "$passes" ]; do
  for preset in default asan; do
    log=$logs/pass-$pass-$preset.log
    echo "== pass $pass of $passes, $preset build, both cores busy (log: $log)"
    start=$(now)
    if ctest --preset "$preset" -L e2e --output-on-failure >"$log" 2>&1; then
      status=passed
    else
      status=FAILED
      failed_runs=$((failed_runs + 1))
    fi
    took=$(($(now) - start))
    ran=$(grep -c -E '^ *[0-9]+/[0-9]+ Test +#' "$log")
    failures=$(grep -c -E '^ *[0-9]+/[0-9]+ Test +#.*(Failed|Timeout|Exception|Not Run)' "$log")
    grep -E '^ *[0-9]+/[0-9]+ Test +#' "$log" | grep -v -E ' (Passed|Skipped)' || true
    printf '%-5s %-8s %5s %6s %7s s  %s\n' "$pass" "$preset" "$ran" "$failures" "$took" \
      "$status" >>"$logs/summary"
    grep -E '^ *[0-9]+/[0-9]+ Test +#.*(Failed|Timeout|Exception|Not Run)' "$log" |
      sed "s|^|  pass $pass $preset: |" >>"$logs/failures" || true
  done
  pass=$((pass + 1))
done

echo
echo "under load: the end-to-end and browser tests, $passes passes, both cores busy"
echo "pass  build    tests failed    took   result"
cat "$logs/summary"
echo "in all $(($(now) - begun)) s; $failed_runs of $((2 * passes)) runs with failures"
if [ -s "$logs/failures" ]; then
  echo "the tests that failed:"
  cat "$logs/failures"
fi
[ "$failed_runs" -eq 0 ]
