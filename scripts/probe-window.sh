#!/bin/sh
# Runs the game in its real window under a private Xvfb for a while (10 s by
# default) on the title screen or in play, and prints how it paced its frames
# and what it cost: median and 99th percentile frame period, processor use,
# peak memory and the time from launch to the first frame on screen; in play,
# how long each background sound held the frame. With "idle" it runs the
# floor instead: an SDL window that only wakes once a frame
# (bench/idle_window).
#
# The screen is 1920 x 1080 (RALLIX_PROBE_SCREEN=WxH for another), with no
# window manager: --fullscreen fills it all the same.
#
# Usage: scripts/probe-window.sh [build-dir] [seconds] [title|rally|idle] [sounds] [game options]
#   build-dir     a configured and built tree (default: build/default)
#   sounds        the folder the game runs in, holding its four sounds
#                 (default: the build's own copies beside the game)
#   game options  the game's own, such as --scale 2 or --fullscreen
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/default}" && pwd)
seconds=${2:-10}
mode=${3:-title}
sounds=$build/app
if [ $# -gt 3 ]; then
  shift 3
  case $1 in
    -*) ;;
    *) sounds=$1; shift ;;
  esac
else
  set --
fi
sounds=$(cd "$sounds" && pwd)
probe=$build/bench/window_probe
[ "$mode" = idle ] && probe=$build/bench/idle_window

if [ ! -x "$probe" ]; then
  echo "error: $probe is missing; build it first: cmake --build $build" >&2
  exit 1
fi
for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "error: $tool is not installed (scripts/install-deps.sh installs it)" >&2
    exit 1
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/rallix-probe-XXXXXX")
xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

# Xvfb writes the display number it chose to the fifo once it is ready.
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 "${RALLIX_PROBE_SCREEN:-1920x1080}x24" -nolisten tcp \
  3>"$work/displayfd" >/dev/null 2>&1 &
xvfb_pid=$!
read -r display <"$work/displayfd"

mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
run() {
  env -i PATH="$PATH" DISPLAY=":$display" HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" "$@"
}

cd "$sounds"
if [ "$mode" = idle ]; then
  run "$probe" "$seconds"
  exit 0
fi
launched=$(date +%s%N)
run SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-disk}" SDL_DISKAUDIOFILE="$work/audio.raw" \
  MESA_SHADER_CACHE_DISABLE=true "$probe" "$seconds" "$launched" "$mode" "$@"
