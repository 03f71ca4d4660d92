#!/bin/sh
# Lighthouse's scores of the page (npm's lighthouse, as
# scripts/lighthouse/package-lock.json has it, in Debian's Chromium with its
# mobile profile): performance, accessibility, best practices and SEO, the
# layout shift and blocking time, and the audits not passed, for
# RALLIX_RUNS runs (3 by default) of this build's site and any others given,
# in turn. The site is served compressed, as a web host serves it. A figure,
# not a test (make test does not run it: Lighthouse is heavy); performance
# moves with the machine's load, printed at the end.
#   sh scripts/lighthouse-web.sh [NAME=SITE_DIR ...]   (default: this=build/web/site)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -gt 0 ] || set -- "this=$root/build/web/site"
for tool in /usr/bin/chromium node npm; do
  command -v "$tool" >/dev/null 2>&1 || {
    echo "error: $tool is missing (sh scripts/install-deps.sh installs it)" >&2
    exit 1
  }
done
# Lighthouse in the build folder.
modules=$root/build/lighthouse
sh "$root/scripts/npm-modules.sh" "$root/scripts/lighthouse" "$modules"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/rallix-lighthouse.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
trap 'exit 1' INT TERM
TMPDIR=$scratch HOME=$scratch node "$root/scripts/lighthouse/scores.mjs" "$modules" "$@"
echo
echo "measured $(date -u +%Y-%m-%d) on $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
