#!/bin/sh
# Prints the folder where what is made once per machine, not per clone, is
# kept: the SDL2 source fetched through apt and SDL2 built for Windows, as an
# installed package would be. RALLIX_CACHE when set; else /var/cache/rallix
# when it can be written (as root); else build/cache in this checkout.
#   scripts/cache-dir.sh
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
for dir in ${RALLIX_CACHE:-/var/cache/rallix} "$root/build/cache"; do
  if mkdir -p "$dir" 2>/dev/null && [ -w "$dir" ]; then
    cd "$dir" && pwd
    exit 0
  fi
done
echo "cache-dir: neither ${RALLIX_CACHE:-/var/cache/rallix} nor $root/build/cache can be written" >&2
exit 1
