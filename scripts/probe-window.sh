#!/bin/sh
# Runs the game in its real window under a private Xvfb for a while (10 s by
# default) on the title screen or in play, and prints how it paced its frames
# and what it cost: median and 99th percentile frame period, processor use,
# peak memory and the time from launch to the first frame on screen; in play,
# how long each background sound held the frame, and how late the first
# sound came after the sound device had closed in the title's silence. With
# "idle" it runs the floor instead: an SDL window that only wakes once a
# frame (bench/idle_window); with "side-by-side" both at once, the game on
# its title screen beside the idle window, in the same X server, so that
# their processor time is measured in the same run. With "screenshots" the
# title while F12 is pressed once a second, the pictures going into a
# temporary folder: the frame periods around the presses.
#
# The sound goes to SDL's disk driver, which stays open, as the tests need
# (SDL_AUDIODRIVER for another); side-by-side takes SDL's dummy driver, whose
# thread wakes every buffer like a sound card's, and closes in silence.
#
# The screen is 1920 x 1080 (RALLIX_PROBE_SCREEN=WxH for another), with no
# window manager: --fullscreen fills it all the same.
#
# With RALLIX_PROBE_WAYLAND=1 the game runs natively on Wayland instead:
# weston, with its x11 backend, is the compositor in a window of the Xvfb,
# its output the screen's size less 100 pixels each way, and the processor
# time weston spent meanwhile is printed too.
#
# Given the Windows build (build/windows/game, where `make windows` and
# `cmake --build build/windows/game --target window_probe idle_window` put
# the probes beside rallix.exe), it runs them under Wine, in the prefix the
# Windows test keeps in build/windows/wine (WINEPREFIX for another), and
# also prints what Wine's server spent meanwhile.
#
# Usage: scripts/probe-window.sh [build-dir] [seconds] [title|rally|idle|side-by-side|screenshots]
#                               [sounds] [game options]
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
wine_prefix=
if [ -f "$build/app/rallix.exe" ]; then
  probe=$build/app/window_probe.exe
  [ "$mode" = idle ] && probe=$build/app/idle_window.exe
  wine_prefix=${WINEPREFIX:-$(dirname "$build")/wine/prefix}
  if [ ! -f "$wine_prefix/system.reg" ]; then
    echo "error: no Wine prefix in $wine_prefix; the Windows test makes it (make test)" >&2
    exit 1
  fi
fi

if [ ! -x "$probe" ]; then
  echo "error: $probe is missing; build it first: cmake --build $build" >&2
  exit 1
fi
wayland=${RALLIX_PROBE_WAYLAND:-}
for tool in Xvfb xdotool ${wine_prefix:+wine wineserver} ${wayland:+weston}; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "error: $tool is not installed (scripts/install-deps.sh installs it)" >&2
    exit 1
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/rallix-probe-XXXXXX")
xvfb_pid=
server_pid=
weston_pid=
cleanup() {
  if [ -n "$weston_pid" ]; then kill "$weston_pid" 2>/dev/null || true; fi
  # Wine's server ends the programs of the prefix, then itself.
  if [ -n "$server_pid" ]; then
    env -i PATH="$PATH" WINEPREFIX="$wine_prefix" wineserver --kill >/dev/null 2>&1 || true
    wait "$server_pid" 2>/dev/null || true
  fi
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
audio_file=$work/audio.raw
if [ -n "$wayland" ]; then
  screen=${RALLIX_PROBE_SCREEN:-1920x1080}
  env -i PATH="$PATH" DISPLAY=":$display" HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
    weston --backend=x11-backend.so --socket=probe --idle-time=0 \
    --width=$((${screen%x*} - 100)) --height=$((${screen#*x} - 100)) >"$work/weston.log" 2>&1 &
  weston_pid=$!
  waited=0
  while [ ! -S "$work/runtime/probe" ]; do
    sleep 0.1
    waited=$((waited + 1))
    if [ "$waited" -gt 100 ]; then
      cat "$work/weston.log" >&2
      echo "error: weston did not start" >&2
      exit 1
    fi
  done
  weston_ticks() { awk '{ print $14 + $15 }' "/proc/$weston_pid/stat" 2>/dev/null || echo 0; }
  weston_before=$(weston_ticks)
  run() {
    env -i PATH="$PATH" WAYLAND_DISPLAY=probe SDL_VIDEODRIVER=wayland HOME="$work/home" \
      XDG_RUNTIME_DIR="$work/runtime" "$@"
  }
  launcher=
elif [ -z "$wine_prefix" ]; then
  run() {
    env -i PATH="$PATH" DISPLAY=":$display" HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" "$@"
  }
  launcher=
else
  # Wine's server, started here so that its processor time can be read.
  wine_env() {
    env -i PATH="$PATH" DISPLAY=":$display" HOME="$(dirname "$wine_prefix")/home" \
      XDG_RUNTIME_DIR="$work/runtime" WINEPREFIX="$wine_prefix" WINEDEBUG=-all \
      WINEDLLOVERRIDES="mscoree,mshtml=" "$@"
  }
  # (exec: the pid is the server's own.)
  (exec env -i PATH="$PATH" WINEPREFIX="$wine_prefix" wineserver --foreground --persistent \
    >/dev/null 2>&1) &
  server_pid=$!
  sleep 1
  server_ticks() { awk '{ print $14 + $15 }' "/proc/$server_pid/stat" 2>/dev/null || echo 0; }
  server_before=$(server_ticks)
  run() { wine_env "$@"; }
  launcher=wine
  audio_file="Z:$(echo "$audio_file" | tr / '\\')"
fi

idle=$build/bench/idle_window
[ -n "$wine_prefix" ] && idle=$build/app/idle_window.exe
cd "$sounds"
started=$(date +%s%N)
if [ "$mode" = idle ]; then
  # shellcheck disable=SC2086
  run $launcher "$probe" "$seconds"
elif [ "$mode" = side-by-side ]; then
  # shellcheck disable=SC2086
  run $launcher "$idle" "$seconds" >"$work/idle.txt" &
  idle_pid=$!
  # shellcheck disable=SC2086
  run SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" MESA_SHADER_CACHE_DISABLE=true \
    $launcher "$probe" "$seconds" "$started" title "$@" >"$work/title.txt"
  wait "$idle_pid"
  title_cpu=$(sed -n 's/^cpu use from the first frame: *\([0-9.]*\).*/\1/p' "$work/title.txt")
  idle_cpu=$(sed -n 's/^cpu use from the first frame: *\([0-9.]*\).*/\1/p' "$work/idle.txt")
  echo "title screen:                $title_cpu % of one core"
  echo "idle SDL window beside it:   $idle_cpu % of one core"
  echo "$title_cpu $idle_cpu" | awk '{ if ($2 > 0) printf "title / idle:                %.2f (target <= 2)\n", $1 / $2 }'
  echo "--- the title's probe:"
  cat "$work/title.txt"
  echo "--- the idle window:"
  cat "$work/idle.txt"
elif [ "$mode" = screenshots ]; then
  mkdir -p "$work/pictures"
  pictures=$work/pictures
  [ -n "$wine_prefix" ] && pictures="Z:$(echo "$pictures" | tr / '\\')"
  # shellcheck disable=SC2086
  run SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-disk}" SDL_DISKAUDIOFILE="$audio_file" \
    MESA_SHADER_CACHE_DISABLE=true $launcher "$probe" "$seconds" "$started" screenshots \
    --screenshot-dir "$pictures" "$@"
  echo "pictures written:            $(ls "$work/pictures" | wc -l)"
else
  # shellcheck disable=SC2086
  run SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-disk}" SDL_DISKAUDIOFILE="$audio_file" \
    MESA_SHADER_CACHE_DISABLE=true $launcher "$probe" "$seconds" "$started" "$mode" "$@"
fi
if [ -n "$weston_pid" ]; then
  elapsed=$(( ($(date +%s%N) - started) / 1000000 ))
  echo "$(weston_ticks) $weston_before $(getconf CLK_TCK) $elapsed" | awk '{
    printf "weston cpu:                  %.2f %% of one core over %.1f s\n",
      100 * ($1 - $2) / $3 / ($4 / 1000), $4 / 1000 }'
fi
if [ -n "$server_pid" ]; then
  elapsed=$(( ($(date +%s%N) - started) / 1000000 ))
  echo "$(server_ticks) $server_before $(getconf CLK_TCK) $elapsed" | awk '{
    printf "wineserver cpu:              %.2f %% of one core over %.1f s\n",
      100 * ($1 - $2) / $3 / ($4 / 1000), $4 / 1000 }'
fi
