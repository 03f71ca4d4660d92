# Sourced by the scripts that take files from Debian's archive by package
# name without touching the system's apt configuration or its packages: the
# SDL2 source the Windows build compiles (fetch-sdl-source.sh) and the C
# library of an older release the libretro cores link against
# (fetch-glibc-sysroot.sh).
#
#   private_apt DIR TYPE SUITE [ARCH...]
#       an apt configuration of its own in DIR: entries of TYPE (deb or
#       deb-src) for SUITE, taken from the archive apt already uses for this
#       release (every configured `deb` entry of it), for the architectures
#       named (the machine's own when none); its indexes, cache and an empty
#       list of installed packages lie in DIR too. Then fetches the indexes.
#   apt_private ARGS...
#       apt-get with that configuration.

private_apt() {
  private_apt_dir=$1
  private_apt_type=$2
  private_apt_suite=$3
  shift 3
  private_apt_options=""
  for arch in "$@"; do
    private_apt_options="$private_apt_options -o APT::Architectures::=$arch"
  done
  # shellcheck disable=SC1091
  this_suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  mkdir -p "$private_apt_dir/lists/partial" "$private_apt_dir/cache/archives/partial" \
    "$private_apt_dir/parts"
  : >"$private_apt_dir/status"
  {
    for file in /etc/apt/sources.list.d/*.sources; do
      [ -f "$file" ] && cat "$file" && echo
    done
  } | awk -v this="$this_suite" -v type="$private_apt_type" -v suite="$private_apt_suite" '
    function flush() {
      if (types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " this " ") && uris != "") {
        print "Types: " type; print "URIs: " uris; print "Suites: " suite
        print "Components: " components
        if (signed != "") print "Signed-By: " signed
        print ""
      }
      types = uris = suites = components = signed = ""
    }
    /^[ \t]*$/ { flush(); next }
    /^#/ { next }
    /^Types:/ { sub(/^Types:[ \t]*/, ""); types = $0 }
    /^URIs:/ { sub(/^URIs:[ \t]*/, ""); uris = $0 }
    /^Suites:/ { sub(/^Suites:[ \t]*/, ""); suites = $0 }
    /^Components:/ { sub(/^Components:[ \t]*/, ""); components = $0 }
    /^Signed-By:/ { sub(/^Signed-By:[ \t]*/, ""); signed = $0 }
    END { flush() }' >"$private_apt_dir/parts/debian.sources"
  # One-line entries in sources.list and sources.list.d/*.list.
  cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
    awk -v this="$this_suite" -v type="$private_apt_type" -v suite="$private_apt_suite" '
    $1 == "deb" {
      i = 2
      if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; options = ""; for (j = 2; j <= i; j++) options = options " " $j; i++ }
      else options = ""
      if ($(i + 1) == this) {
        line = type options " " $i " " suite
        for (j = i + 2; j <= NF; j++) line = line " " $j
        print line
      }
    }' >"$private_apt_dir/sources.list"
  if ! grep -q . "$private_apt_dir/parts/debian.sources" "$private_apt_dir/sources.list"; then
    echo "private-apt: apt has no deb entry for $this_suite to take $private_apt_suite from" >&2
    return 1
  fi
  apt_private update >&2
}

apt_private() {
  # shellcheck disable=SC2086
  apt-get -q -o Dir::Etc::SourceList="$private_apt_dir/sources.list" \
    -o Dir::Etc::SourceParts="$private_apt_dir/parts" -o Dir::State::Lists="$private_apt_dir/lists" \
    -o Dir::Cache="$private_apt_dir/cache" -o Dir::State::status="$private_apt_dir/status" \
    $private_apt_options "$@"
}
