#!/bin/sh
# How soon the page shows the title (navigation to the first lit canvas, the
# median and range of RALLIX_RUNS runs, 15 by default), what a first visit
# fetches and what each file weighs, in Debian's Chromium: this build's site
# and any others given, measured in turn in the same run, so that the
# machine's load, printed at the end, weighs on each alike; beside them the
# page alone, without the program (below). A figure, not a test (make test
# does not run it). `make web` builds the site.
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
# The page alone, beside them: the first site given with this checkout's
# page, its style sheet and text, but without rallix.js; at its end page.js
# puts a whole picture on the canvas as soon as it has laid the page out.
# How soon it shows that picture is what the page costs before any program
# could draw on it.
alone=$scratch/page-alone
mkdir -p "$alone/web"
cp -R "${1#*=}" "$alone/site"
cp "$root"/web/page.css "$root"/web/page_errors.js "$root"/web/page_fit.js "$alone/web/"
grep -v 'src="rallix.js"' "$root/web/index.html" >"$alone/web/index.html"
{
  cat "$root/web/page.js"
  echo "(function() {"
  echo "  var context = document.getElementById('screen').getContext('2d', {alpha: false});"
  echo "  var picture = context.createImageData(640, 480);"
  echo "  picture.data.fill(255);"
  echo "  context.putImageData(picture, 0, 0);"
  echo "})();"
} >"$alone/web/page.js"
python3 "$root/web/inline_page.py" "$alone/web" "$alone/site/index.html"
# Chromium's profiles and everything it writes go to the scratch folder.
TMPDIR=$scratch HOME=$scratch NODE_PATH=$work/npm/node_modules \
  node "$root/scripts/web_first_frame.js" "$@" "page-alone=$alone/site"
echo
echo "measured $(date -u +%Y-%m-%d) on $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
