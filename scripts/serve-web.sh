#!/bin/sh
# Serves the browser build on this machine only, at http://127.0.0.1:PORT/
#   sh scripts/serve-web.sh [site dir] [port]   (defaults: build/web/site 8000)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
site=${1:-$root/build/web/site}
port=${2:-8000}

if [ ! -f "$site/index.html" ]; then
  echo "error: there is no page in $site (make web builds it)" >&2
  exit 1
fi
echo "Rallix is at http://127.0.0.1:$port/ (Ctrl+C stops the server)"
exec python3 -m http.server --bind 127.0.0.1 --directory "$site" "$port"
