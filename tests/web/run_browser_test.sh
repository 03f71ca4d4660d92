#!/bin/sh
# Plays the browser build in Debian's Chromium: installs playwright-core as
# the lock file has it, makes the references from the headless game and runs
# browser_test.js (or TEST_FILE), with everything Chromium writes kept in a
# temporary folder; a test may keep files of its own under WORK_DIR.
#   run_browser_test.sh SITE_DIR RALLIX_SCREEN GLYPH_TABLE WORK_DIR [TEST_FILE]
# With --modules-only for TEST_FILE it installs playwright-core and stops.
# Exits 77 (skipped) when Chromium, node or npm is missing; under CI
# (CI=true) that fails instead, saying what is missing.
set -eu

if [ $# -ne 4 ] && [ $# -ne 5 ]; then
  echo "usage: run_browser_test.sh SITE_DIR RALLIX_SCREEN GLYPH_TABLE WORK_DIR [TEST_FILE]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
site=$1
screen=$2
glyph_table=$3
work=$4
test_file=${5:-$here/browser_test.js}
chromium=/usr/bin/chromium

for tool in "$chromium" node npm; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    if [ "${CI:-}" = true ]; then
      echo "error: $tool is missing (sh scripts/install-deps.sh installs it)" >&2
      exit 1
    fi
    echo "skipped: $tool is missing (sh scripts/install-deps.sh installs it)"
    exit 77
  fi
done

# playwright-core beside the build. It never downloads a browser.
modules=$work/npm
sh "$here/../../scripts/npm-modules.sh" "$here" "$modules"
# ctest installs them once, before the browser tests run side by side.
if [ "$test_file" = --modules-only ]; then
  exit 0
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/rallix-browser.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
trap 'exit 1' INT TERM
for folder in home config cache data state runtime tmp; do
  mkdir -p "$scratch/$folder"
done
chmod 700 "$scratch/runtime"

"$screen" render title "$scratch/title.pgm"
"$screen" render title-quit "$scratch/title-quit.pgm"
"$glyph_table" >"$scratch/glyphs.json"

# Chromium's profiles are fresh temporary folders in $TMPDIR, gone with it.
TMPDIR=$scratch/tmp \
  HOME=$scratch/home \
  XDG_CONFIG_HOME=$scratch/config \
  XDG_CACHE_HOME=$scratch/cache \
  XDG_DATA_HOME=$scratch/data \
  XDG_STATE_HOME=$scratch/state \
  XDG_RUNTIME_DIR=$scratch/runtime \
  NODE_PATH=$modules/node_modules \
  RALLIX_SITE=$site \
  RALLIX_REFERENCES=$scratch \
  RALLIX_CHROMIUM=$chromium \
  RALLIX_WORK=$work \
  node --test-reporter=spec "$test_file"
