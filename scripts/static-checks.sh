#!/bin/sh
# The layering check, clang-format (check only) over every C++ file in the
# repository, and clang-tidy (.clang-tidy) over the program's own sources as
# the build directory compiles them. Usage: scripts/static-checks.sh [build-dir]
set -eu
cd "$(dirname "$0")/.."
build_dir=${1:-build/default}

# The layers' includes point down, and SDL and emscripten stay in their platforms.
python3 scripts/check-layers.py

echo "clang-format: checking"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "clang-format: clean"

if [ ! -f "$build_dir/compile_commands.json" ]; then
  echo "error: $build_dir/compile_commands.json is missing; configure the build first" >&2
  exit 1
fi
# The sources of the game, its platforms and its tools, as compiled there.
files=$(python3 - "$build_dir/compile_commands.json" "$(pwd)" <<'PY'
import json, os, sys
root = sys.argv[2]
seen = set()
for entry in json.load(open(sys.argv[1])):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    rel = os.path.relpath(path, root)
    if (rel.split(os.sep)[0] in ("base", "display", "game", "sdl", "tools", "web")
            or rel in (os.path.join("bench", "window_probe.cpp"),
                       os.path.join("bench", "process_usage_posix.cpp"))) and rel not in seen:
        seen.add(rel)
        print(rel)
PY
)
count=$(echo "$files" | wc -l)
echo "clang-tidy: checking $count files"
echo "$files" | xargs -P 2 -n 4 clang-tidy -p "$build_dir" --quiet 2>/dev/null

# The desktop platform's Windows side, as the mingw-w64 build (make windows)
# compiles it, when that build is there; clang takes mingw-w64's C++ headers.
windows_build=build/windows/game
if [ -f "$windows_build/compile_commands.json" ]; then
  cxx_headers=$(x86_64-w64-mingw32-g++-posix -x c++ -E -v /dev/null 2>&1 |
    sed -n 's|^ \(/.*/c++.*\)$|--extra-arg=-isystem\1|p')
  windows_files=$(git ls-files 'sdl/*_windows.cpp' 'bench/*_windows.cpp')
  echo "clang-tidy: checking $(echo "$windows_files" | wc -l) files of the Windows build"
  # shellcheck disable=SC2086
  clang-tidy -p "$windows_build" --quiet --extra-arg=--target=x86_64-w64-mingw32 $cxx_headers \
    $windows_files 2>/dev/null
fi
echo "clang-tidy: clean"
