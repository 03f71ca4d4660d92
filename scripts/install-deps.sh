#!/bin/sh
# Installs the Debian packages that building, running and testing Rallix need,
# when they are missing. The list lives here and nowhere else.
set -eu

PACKAGES="
  cmake
  ninja-build
  make
  g++
  pkg-config
  libsdl2-dev
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  clang
  clang-format
  clang-tidy
  libclang-rt-14-dev
  xvfb
  xfonts-base
  xauth
  xdotool
  x11-apps
  x11-utils
  imagemagick
  python3
  dpkg-dev
  file
  desktop-file-utils
  emscripten
  chromium
  chromium-driver
"

# The browser test drives Chromium from node with npm's playwright-core. A
# node installed from elsewhere brings its own npm and is kept.
if ! command -v npm >/dev/null 2>&1; then
  PACKAGES="$PACKAGES nodejs npm"
fi

missing=""
for package in $PACKAGES; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  if [ "$status" != "installed" ]; then
    missing="$missing $package"
  fi
done

if [ -z "$missing" ]; then
  exit 0
fi

echo "Installing missing Debian packages:$missing"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=""
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  SUDO="sudo -n"
else
  echo "error: these Debian packages are missing and I cannot install them" >&2
  echo "(not root, and no password-less sudo):$missing" >&2
  echo "Install them with: apt-get install$missing" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
