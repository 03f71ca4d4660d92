#!/bin/sh
# How soon the page shows the title (navigation to the first lit canvas, the
# median and range of RALLIX_RUNS runs, 15 by default), what a first visit
# fetches and what each file weighs, in Debian's Chromium: this build's site
# and any others given, measured in turn in the same run, so that the
# machine's load, printed at the end, weighs on each alike. A figure, not a
# test (make test does not run it). `make web` builds the site.
#   sh scripts/bench-web.sh [NAME=SITE_DIR ...]   (default: this=build/web/site)
# For example, beside the site of another checkout built with
# `sh scripts/build-web.sh /tmp/before`:
#   sh scripts/bench-web.sh before=/tmp/before/site after=build/web/site
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -gt 0 ] || set -- "this=$root/build/web/site"
work=$root/build/web-bench
mkdir -p "$work"
# playwright-core as the browser test has it, in the work folder.
sh "$root/tests/web/run_browser_test.sh" - - - "$work" --modules-only >/dev/null

scratch=$(mktemp -d "${TMPDIR:-/tmp}/rallix-bench-web.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
trap 'exit 1' INT TERM
# Chromium's profiles and everything it writes go to the scratch folder.
TMPDIR=$scratch HOME=$scratch NODE_PATH=$work/npm/node_modules \
  node "$root/scripts/web_first_frame.js" "$@"
echo
echo "measured $(date -u +%Y-%m-%d) on $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
