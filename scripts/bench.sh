#!/bin/sh
# Prints the figures table: the compositor and rally benchmarks, the soak
# tests' frames per second, and the real game in its window under Xvfb (frame
# period, processor use, peak memory, time to the first frame).
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

echo "running the soak tests..." >&2
"$build/tests/test_rally_soak" >"$work/rally_soak.txt" 2>&1 || true
"$build/tests/test_program_soak" >"$work/program_soak.txt" 2>&1 || true
rally_fps=$(sed -n 's/.*: \([0-9]*\) frames per second.*/\1/p' "$work/rally_soak.txt" | head -1)
program_fps=$(sed -n 's/.*, \([0-9]*\) frames per second.*/\1/p' "$work/program_soak.txt" | head -1)

echo "running the game in its window (10 s on the title, 10 s in play)..." >&2
sh "$root/scripts/probe-window.sh" "$build" 10 title >"$work/title.txt"
sh "$root/scripts/probe-window.sh" "$build" 10 rally >"$work/rally.txt"
figure() { sed -n "s/^$2: *\([0-9.]*\).*/\1/p" "$1" | head -1; }

cat <<TABLE
| figure | measured | target |
|---|---|---|
| \`RenderFrame\`, a rally's load (28 cells, 1 sprite), CPU time | ${render} µs | < 50 µs |
| \`RedrawBackground\`, all 1200 cells changed | ${redraw} µs | < 50 µs |
| \`RedrawBackground\`, unchanged grid (the menus, every frame) | ${redraw_same} µs | |
| one rally frame plus \`RenderFrame\` | ${rally} µs | < 50 µs |
| rally soak (frames per second, headless) | ${rally_fps} | |
| whole-program soak (frames per second, headless) | ${program_fps} | |
| frame period median, title / play | $(figure "$work/title.txt" "frame period median") / $(figure "$work/rally.txt" "frame period median") ms | 17 ms |
| frame period 99th percentile, title / play | $(figure "$work/title.txt" "frame period p99") / $(figure "$work/rally.txt" "frame period p99") ms | ≤ 18 ms |
| CPU, share of one core, title / play | $(figure "$work/title.txt" "cpu use") / $(figure "$work/rally.txt" "cpu use") % | < 3 % |
| peak memory, title / play | $(figure "$work/title.txt" "peak rss") / $(figure "$work/rally.txt" "peak rss") MB | < 40 MB |
| start to first frame | $(figure "$work/title.txt" "start to first frame") ms | < 150 ms |
TABLE
echo
echo "measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(sed -n 's/^model name\t*: //p' /proc/cpuinfo | head -1), load average $(cut -d' ' -f1-3 /proc/loadavg)"
