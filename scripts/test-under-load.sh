#!/bin/sh
# The proof that the end-to-end and browser tests are not flaky: all of them
# (ctest's label e2e, in the optimised build and the sanitizer build) three
# times over while two busy loops hold both cores, as another job on the
# machine would. Every pass must pass. Build first (make build build-asan
# windows web); `make test-under-load` does.
#   scripts/test-under-load.sh [PASSES]
set -u
cd "$(dirname "$0")/.."
passes=${1:-3}

busy=""
for core in 1 2; do
  sh -c 'while :; do :; done' &
  busy="$busy $!"
done
# shellcheck disable=SC2086
trap 'kill $busy 2>/dev/null' EXIT
trap 'exit 1' INT TERM

failed=0
pass=1
while [ "$pass" -le "$passes" ]; do
  for preset in default asan; do
    echo "== pass $pass of $passes, $preset build, both cores busy"
    if ! ctest --preset "$preset" -L e2e --output-on-failure -j2 >build/under-load.log 2>&1; then
      failed=$((failed + 1))
    fi
    grep -v ' Passed ' build/under-load.log
  done
  pass=$((pass + 1))
done
echo "under load: $passes passes of the end-to-end and browser tests, $failed runs with failures"
[ "$failed" -eq 0 ]
