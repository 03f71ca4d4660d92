#!/bin/sh
# Unpacks the C library of Debian 11 (bullseye, glibc 2.31) for each Debian
# architecture named, once per machine, into glibc-2.31/<triplet> in the cache
# folder (scripts/cache-dir.sh), and prints each folder. The libretro cores
# link against it (cmake/CoreLink.cmake), so that they load on the systems of
# 2020 on that players' ARM handhelds and older Raspberry Pi systems run.
# Nothing is installed: libc6 and libc6-dev are downloaded by name through
# an apt configuration of its own (scripts/private-apt.sh) and unpacked with
# dpkg -x.
#   scripts/fetch-glibc-sysroot.sh amd64 arm64 armhf
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
release=bullseye
cache="$(sh "$root/scripts/cache-dir.sh")/glibc-2.31"

wanted=""
for arch in "$@"; do
  triplet=$(dpkg-architecture -a"$arch" -qDEB_HOST_MULTIARCH 2>/dev/null)
  [ -f "$cache/$triplet/.unpacked" ] || wanted="$wanted $arch"
done
if [ -n "$wanted" ]; then
  . "$root/scripts/private-apt.sh"
  # shellcheck disable=SC2086
  private_apt "$cache/apt" deb "$release" $wanted
  for arch in $wanted; do
    triplet=$(dpkg-architecture -a"$arch" -qDEB_HOST_MULTIARCH 2>/dev/null)
    debs="$cache/debs-$arch"
    rm -rf "$debs" "$cache/$triplet"
    mkdir -p "$debs"
    # apt's own downloader cannot write into root's folders: it is told to
    # stay root for this.
    (cd "$debs" && apt_private -o APT::Sandbox::User=root download "libc6:$arch" "libc6-dev:$arch" >&2)
    for deb in "$debs"/*.deb; do
      dpkg-deb -x "$deb" "$cache/$triplet"
    done
    rm -rf "$debs"
    # A link to an absolute path points into the unpacked tree instead.
    find "$cache/$triplet" -type l | while IFS= read -r link; do
      target=$(readlink "$link")
      case $target in
        /*) ln -sfn "$(realpath -m --relative-to="$(dirname "$link")" "$cache/$triplet$target")" "$link" ;;
      esac
    done
    touch "$cache/$triplet/.unpacked"
  done
  rm -rf "$cache/apt"
fi
for arch in "$@"; do
  echo "$cache/$(dpkg-architecture -a"$arch" -qDEB_HOST_MULTIARCH 2>/dev/null)"
done
