#!/bin/sh
# The checks that need no build and fail in seconds: the layers' includes
# point down (and SDL and emscripten stay in their platforms), every folder
# of the product is in docs/architecture.md, and every C++
# file of the repository is formatted as .clang-format says.
#   scripts/quick-checks.sh
set -eu
cd "$(dirname "$0")/.."

python3 scripts/check-layers.py
python3 scripts/check-docs.py --folders-only

echo "clang-format: checking"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "clang-format: clean"
