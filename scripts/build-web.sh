#!/bin/sh
# Builds the browser version with Debian's emscripten. The page lands in
# <build dir>/site: index.html with its style sheet and script, rallix.js,
# rallix.wasm, rallix.data, the manifest, the icons and the service worker.
# Beside the site, rallix_timedemo.js: the core's timed replay of a demo in
# node, for the tests. Each library is compiled as one unity file (the
# headers read once).
#   sh scripts/build-web.sh [build dir]      (default: build/web)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/web}

if ! command -v emcmake >/dev/null 2>&1; then
  echo "error: emscripten is not installed (sh scripts/install-deps.sh installs it)" >&2
  exit 1
fi

# Debian's emscripten runs its JavaScript tools with the first node on PATH;
# a node that is not Debian's finds Debian's modules (acorn) only with this.
NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
export NODE_PATH

# Only the core and the web layer: no SDL, GoogleTest or benchmark here.
emcmake cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=0 -DRALLIX_BUILD_APP=OFF -DRALLIX_BUILD_TESTS=OFF -DRALLIX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target rallix_site rallix_timedemo -j2
echo "The page is in $build/site"
