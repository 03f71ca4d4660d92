#!/bin/bash
# Plays the real game in its window under a private Xvfb for a long while
# (10 minutes by default) with random key presses from the X server, and
# reports the frames, the run-time errors, the processor use and the memory.
# When the random keys choose "QUIT GAME" the game is started again.
#
# Usage: scripts/soak-window.sh [minutes] [build-dir]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:-10}
build=$(cd "${2:-$root/build/default}" && pwd)
probe=$build/bench/window_probe
[ -x "$probe" ] || { echo "error: $probe is missing; run make build first" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/rallix-soak-XXXXXX")
xvfb_pid=
game_pid=
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/displayfd" >/dev/null 2>&1 &
xvfb_pid=$!
read -r display <"$work/displayfd"
export DISPLAY=":$display"
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"

keys=(Left Left Left Right Right Right Up Down space)
deadline=$(($(date +%s) + minutes * 60))
run=0
cd "$build/app"  # the game finds its sounds beside it
while [ "$(date +%s)" -lt "$deadline" ]; do
  run=$((run + 1))
  remaining=$((deadline - $(date +%s)))
  env -i PATH="$PATH" DISPLAY="$DISPLAY" HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null MESA_SHADER_CACHE_DISABLE=true \
    "$probe" "$remaining" "$(date +%s%N)" soak >"$work/run$run.txt" 2>&1 &
  game_pid=$!
  window=$(xdotool search --sync --name '^Rallix$' | head -1)
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  while kill -0 "$game_pid" 2>/dev/null; do
    key=${keys[$((RANDOM % ${#keys[@]}))]}
    xdotool keydown --window "$window" "$key" 2>/dev/null || true
    sleep "0.$(printf '%03d' $((30 + RANDOM % 370)))"
    xdotool keyup --window "$window" "$key" 2>/dev/null || true
  done
  wait "$game_pid" || echo "run $run ended with status $?" >>"$work/failures.txt"
  game_pid=
done

figure() { sed -n "s/^$1: *\([0-9.]*\).*/\1/p" "$2" | head -1; }
frames=0
errors=0
for out in "$work"/run*.txt; do
  frames=$((frames + $(figure "frames presented" "$out")))
  errors=$((errors + $(figure "run-time errors trapped" "$out")))
done
last=$work/run$run.txt
echo "minutes:                     $minutes"
echo "game starts:                 $run (the random keys chose QUIT GAME $((run - 1)) times)"
echo "frames presented:            $frames"
echo "run-time errors trapped:     $errors"
[ -f "$work/failures.txt" ] && cat "$work/failures.txt"
echo "longest run:"
longest=$(for out in "$work"/run*.txt; do echo "$(figure "frames presented" "$out") $out"; done |
  sort -n | tail -1 | cut -d' ' -f2)
sed 's/^/  /' "$longest"
samples=$(sed -n 's/^memory every 10 s (MB): *//p' "$longest")
first=$(echo "$samples" | awk '{ print $1 }')
final=$(echo "$samples" | awk '{ print $NF }')
if [ -n "$first" ] && awk -v a="$first" -v b="$final" 'BEGIN { exit !(b > a + 1.0) }'; then
  echo "memory: grew from $first MB to $final MB"
  exit 1
fi
echo "memory: steady ($first MB after 10 s, $final MB at the end)"
[ "$errors" -eq 0 ] && [ ! -f "$work/failures.txt" ]
