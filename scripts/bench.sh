#!/bin/sh
# Prints the figures tables: the compositor and rally benchmarks, the soak
# test's frames per second, and the real game in its window under Xvfb (frame
# period, peak memory, time to the first frame), then its processor use at
# 1x, 2x and fullscreen beside the floor of an idle SDL window, all measured
# in the same run; then the libretro core's run, save and load, timed and in
# instructions, and the timed replay's instructions (callgrind counts them,
# whatever the machine's load).
# Usage: scripts/bench.sh [build-dir]     (`make bench` builds and runs it)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/default}" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/rallix-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

# Median CPU time of one benchmark over five repetitions, in microseconds.
benchmark() {
  "$build/bench/$1" --benchmark_filter="^$2\$" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
    awk -F, -v name="\"$2_median\"" '$1 == name {
      unit = $5; gsub(/"/, "", unit)
      scale = (unit == "ns") ? 0.001 : ((unit == "ms") ? 1000 : 1)
      printf "%.1f", $4 * scale
    }'
}
echo "running the benchmarks..." >&2
render=$(benchmark bench_compositor BM_RenderRallyFrame)
redraw=$(benchmark bench_compositor BM_RedrawBackgroundFullGrid)
redraw_same=$(benchmark bench_compositor BM_RedrawBackgroundUnchangedGrid)
rally=$(benchmark bench_rally BM_RallyFrameAndRender)
rally_alone=$(benchmark bench_rally BM_RallyFrame)

echo "running the soak test..." >&2
"$build/tests/test_program_soak" >"$work/program_soak.txt" 2>&1 || true
program_fps=$(sed -n 's/.*, \([0-9]*\) frames per second.*/\1/p' "$work/program_soak.txt" | head -1)

echo "running the game in its window: the floor, then 10 s on the title and 10 s in play at 1x, 2x and fullscreen..." >&2
probe() {  # probe NAME MODE [game options]: the probe's report in $work/NAME.txt
  name=$1
  shift
  sh "$root/scripts/probe-window.sh" "$build" 10 "$@" >"$work/$name.txt"
}
probe floor idle
probe title title
probe rally rally
probe title2 title --scale 2
probe rally2 rally --scale 2
probe titlefs title --fullscreen
probe rallyfs rally --fullscreen
figure() { sed -n "s/^$2: *\([0-9.]*\).*/\1/p" "$work/$1.txt" | head -1; }
cpu() { figure "$1" "cpu use from the first frame"; }
pacing() {  # median / p99 of a title and a play run
  echo "$(figure "$1" "frame period median") / $(figure "$2" "frame period median") ms," \
    "p99 $(figure "$1" "frame period p99") / $(figure "$2" "frame period p99") ms"
}
floor=$(cpu floor)

cat <<TABLE
| figure | measured | target |
|---|---|---|
| \`RenderFrame\`, a rally's load (28 cells, 1 sprite), CPU time | ${render} µs | < 50 µs |
| \`RedrawBackground\`, all 1200 cells changed | ${redraw} µs | < 50 µs |
| \`RedrawBackground\`, unchanged grid (the menus, every frame) | ${redraw_same} µs | |
| one rally frame plus \`RenderFrame\` | ${rally} µs | < 50 µs |
| one rally frame, the handler alone | ${rally_alone} µs | |
| whole-program soak (frames per second, headless) | ${program_fps} | |
| frame period median, title / play | $(figure title "frame period median") / $(figure rally "frame period median") ms | 17 ms |
| frame period 99th percentile, title / play | $(figure title "frame period p99") / $(figure rally "frame period p99") ms | ≤ 18 ms |
| peak memory, title / play | $(figure title "peak rss") / $(figure rally "peak rss") MB | < 40 MB |
| start to first frame | $(figure title "start to first frame") ms | < 150 ms |

Processor use from the first frame on, as a share of one core, beside the
floor measured in the same run: an idle SDL window that only wakes once a
frame with the same absolute sleep (bench/idle_window), on a 1920 x 1080
screen (Xvfb, no window manager).

| window | CPU, title / play | frame period median / p99, title / play | target |
|---|---|---|---|
| idle SDL window (the floor) | ${floor} % | | |
| 1x (640 x 480) | $(cpu title) / $(cpu rally) % | $(pacing title rally) | ≤ 2 × floor |
| 2x (1280 x 960) | $(cpu title2) / $(cpu rally2) % | $(pacing title2 rally2) | < 3 % |
| fullscreen 1920 x 1080 (2x) | $(cpu titlefs) / $(cpu rallyfs) % | $(pacing titlefs rallyfs) | < 3 % |
TABLE

echo "running the libretro core's runs, saves and loads, and counting instructions..." >&2
# The champion's game through the core, a save and two loads after each run
# (bench/libretro_bench.cpp): the whole game timed, its first 2000 runs
# again under callgrind, collecting in one entry point at a time.
libretro() {  # libretro RUNS [command before it]: the benchmark's CSV, its header and its line
  runs=$1
  shift
  "$@" "$build/bench/bench_libretro" \
    --benchmark_filter="^BM_RetroRunSaveAndLoadThroughAChampionsGame/$runs/" \
    --benchmark_format=csv 2>/dev/null | tail -2
}
counter() {  # counter CSV NAME: the value of the counter NAME
  echo "$1" | awk -F, -v name="$2" 'NR == 1 { for (i = 1; i <= NF; i++) { gsub(/"/, "", $i)
    if ($i == name) at = i } } NR == 2 && at { print $at }'
}
timed=$(libretro 0)
value() { counter "$timed" "$1"; }
collected() {  # collected FUNCTION COUNTER: instructions per call of the function
  csv=$(libretro 2000 valgrind --tool=callgrind --callgrind-out-file="$work/core.cg" \
    --log-file="$work/core.cg.log" "--toggle-collect=rallix::libretro::RetroCore::$1")
  sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$work/core.cg.log" |
    awk -v calls="$(counter "$csv" "$2")" '{ printf "%.0f", $1 / calls }'
}
run_instructions=$(collected "Run()" run_count)
save_instructions=$(collected "Save(void*, unsigned long) const" save_count)
load_instructions=$(collected "Load(void const*, unsigned long)" load_count)
valgrind --tool=callgrind --callgrind-out-file="$work/timedemo.cg" --log-file="$work/timedemo.log" \
  "$build/app/rallix" --timedemo "$root/tests/data/demos/champion_config.demo" >/dev/null
timedemo=$(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$work/timedemo.log")

cat <<TABLE

The libretro core through the champion's game (bench/libretro_bench.cpp):
each run, then a save and the loads of the run before's state and this
run's, as rewind and run-ahead do; instructions per call under callgrind
over its first 2000 runs.

| call | median | p99 | instructions | target |
|---|---|---|---|---|
| \`retro_run\` | $(value run_median_us) µs | $(value run_p99_us) µs | ${run_instructions} | < 17 ms |
| \`retro_serialize\` | $(value save_median_us) µs | $(value save_p99_us) µs | ${save_instructions} | |
| \`retro_unserialize\` | $(value load_median_us) µs | $(value load_p99_us) µs | ${load_instructions} | save + load < one run |

| figure | measured | target |
|---|---|---|
| a save state | $(value state_bytes) bytes | ≤ 4096 bytes |
| \`--timedemo\` of the champion's game (21297 passes), instructions | ${timedemo} | ≤ 786 million (6abc82c) |
TABLE
echo
echo "measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(sed -n 's/^model name\t*: //p' /proc/cpuinfo | head -1), load average $(cut -d' ' -f1-3 /proc/loadavg)"
