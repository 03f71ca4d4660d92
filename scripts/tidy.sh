#!/bin/sh
# clang-tidy (.clang-tidy) over the program's own code: the core's layers, the
# desktop, browser and libretro platforms and the asset tools, as the sanitizer build
# compiles them, and the desktop platform's Windows side as the mingw-w64
# build (make windows) compiles it, when that build is there. Both builds
# compile each library as one unity file, so clang-tidy reads SDL's and the
# standard library's headers once per library, not once per file; a finding
# still names the file and line of our code. A unity file whose sources and
# headers have not changed since it was last found clean is not checked again
# (build/tidy-clean/ keeps their fingerprints).
#   scripts/tidy.sh [sanitizer-build] [windows-build]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/asan}
windows=${2:-build/windows/game}
clean=build/tidy-clean
mkdir -p "$clean"

if [ ! -f "$build/compile_commands.json" ]; then
  echo "error: $build/compile_commands.json is missing; build the sanitizer build first" >&2
  exit 1
fi

# unity_files BUILD [FOLDERS]: what the build compiles of our libraries and
# programs in FOLDERS (of the sources, or of the build for its unity files;
# all of ours by default), one file per line: their unity files, and the few
# sources a unity file leaves out (those with definitions of their own).
unity_files() {
  python3 - "$1/compile_commands.json" "$(pwd)" "${2:-base display game demo sdl tools web libretro}" <<'PY'
import json, os, sys
root = sys.argv[2]
build = os.path.dirname(os.path.abspath(sys.argv[1]))
folders = sys.argv[3].split()
def ours(relative):
    return any(relative.startswith(folder + os.sep) for folder in folders)
for entry in json.load(open(sys.argv[1])):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    if path.startswith(build + os.sep):
        relative = os.path.relpath(path, build)
        if "Unity" in relative.split(os.sep) and ours(relative):
            print(path)
    elif ours(os.path.relpath(path, root)):
        print(path)
PY
}

# The fingerprint of a unity file: its compile command, the configuration,
# and the content of every file of ours it was compiled from (ninja's record
# of its object's dependencies).
fingerprint() {
  dir=$1
  file=$2
  object=$(python3 - "$dir/compile_commands.json" "$file" <<'PY'
import json, sys
for entry in json.load(open(sys.argv[1])):
    if entry["file"] == sys.argv[2] or entry["file"].endswith(sys.argv[2]):
        print(entry["output"] if "output" in entry else entry["command"].split(" -o ")[1].split()[0])
        print(entry["command"])
        break
PY
)
  {
    echo "$object"
    cat .clang-tidy
    ninja -C "$dir" -t deps "$(echo "$object" | head -n 1)" | sed -n 's/^    //p' |
      while IFS= read -r dep; do
        case $dep in
          /usr/* | /lib/*) ;;
          *) cat "$dir/$dep" 2>/dev/null || cat "$dep" ;;
        esac
      done
  } | sha256sum | cut -d' ' -f1
}

# check BUILD FOLDERS LANE EXTRA-ARGS...: clang-tidy over the build's unity
# files of FOLDERS (all of ours when empty) that are not known clean, every
# other one from the first (LANE 0) or the second (LANE 1), or all (LANE -);
# each found clean is remembered. Prints how many files it had and how many it skipped.
check() {
  dir=$1
  folders=$2
  lane=$3
  shift 3
  index=0
  found=0
  count=0
  skipped=0
  for file in $(unity_files "$dir" "$folders"); do
    index=$((index + 1))
    [ "$lane" = - ] || [ $((index % 2)) -eq "$lane" ] || continue
    count=$((count + 1))
    print=$(fingerprint "$dir" "$file")
    if [ -f "$clean/$print" ]; then
      skipped=$((skipped + 1))
      continue
    fi
    # The unity file includes our .cpp files on purpose.
    if clang-tidy -p "$dir" --quiet --checks=-bugprone-suspicious-include "$@" "$file" 2>/dev/null; then
      touch "$clean/$print"
    else
      found=1
    fi
  done
  echo "$count $skipped"
  return "$found"
}

# in_two_lanes BUILD FOLDERS EXTRA-ARGS...: check on both cores.
in_two_lanes() {
  dir=$1
  folders=$2
  shift 2
  check "$dir" "$folders" 0 "$@" >"$clean/lane0" &
  first=$!
  lanes=0
  check "$dir" "$folders" 1 "$@" >"$clean/lane1" || lanes=1
  wait "$first" || lanes=1
  if [ "$lanes" -ne 0 ]; then
    return 1
  fi
  cat "$clean/lane0" "$clean/lane1" | awk -v dir="$dir" '{ count += $1; skipped += $2 }
    END { printf "clang-tidy: %d files of %s, %d unchanged since found clean\n", count, dir, skipped }'
}

# The Windows pass (one file) beside the other two lanes.
windows_pass() {
  # Only the desktop platform's library differs on Windows: the layers below
  # it, its sources left out of the unity file and main.cpp have no code of
  # their own for one system, and the sanitizer build's pass has read them.
  # clang takes mingw-w64's C++ headers.
  cxx_headers=$(x86_64-w64-mingw32-g++-posix -x c++ -E -v /dev/null 2>&1 |
    sed -n 's|^ \(/.*/c++.*\)$|--extra-arg=-isystem\1|p')
  # shellcheck disable=SC2086
  check "$windows" sdl/CMakeFiles/rallix_sdl.dir - --extra-arg=--target=x86_64-w64-mingw32 \
    $cxx_headers >"$clean/windows"
}

status=0
if [ -f "$windows/compile_commands.json" ]; then
  windows_pass &
  windows_job=$!
fi
in_two_lanes "$build" "" || status=1
if [ -n "${windows_job:-}" ]; then
  wait "$windows_job" || status=1
  awk -v dir="$windows" '{ printf "clang-tidy: %d files of %s, %d unchanged since found clean\n", $1, dir, $2 }' \
    "$clean/windows"
fi
[ "$status" -eq 0 ] || exit 1
echo "clang-tidy: clean"
