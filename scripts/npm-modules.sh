#!/bin/sh
# Installs the npm packages of a folder's package-lock.json (with its
# package.json) into another folder, as the lock file has them; npm ci runs
# again only when the lock file has changed. No package runs a script of its
# own, and none downloads a browser.
#   sh scripts/npm-modules.sh PACKAGE_DIR MODULES_DIR
set -eu

source=$1
modules=$2
if ! cmp -s "$source/package-lock.json" "$modules/package-lock.json" ||
  [ ! -f "$modules/node_modules/.package-lock.json" ]; then
  rm -rf "$modules"
  mkdir -p "$modules"
  cp "$source/package.json" "$source/package-lock.json" "$modules/"
  (cd "$modules" && npm ci --ignore-scripts --no-audit --no-fund --cache "$modules/npm-cache")
fi
