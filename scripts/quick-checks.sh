#!/bin/sh
# The checks that need no build and fail in seconds: the layers' includes
# point down (and SDL and emscripten stay in their platforms), and every C++
# file of the repository is formatted as .clang-format says.
#   scripts/quick-checks.sh
set -eu
cd "$(dirname "$0")/.."

python3 scripts/check-layers.py

echo "clang-format: checking"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "clang-format: clean"
