#!/usr/bin/env bash
# A 32-bit Windows runtime for the tests of the shipped 32-bit build: Wine
# (wine64 with wine32) in a Debian 12 root of the project's own, kept in
# build/wine32/root. Where the kernel cannot run 32-bit code itself, qemu-user
# (10, from bookworm-backports, inside the root) runs it, registered in a
# binfmt_misc instance private to a user namespace that ends with the command:
# nothing is installed on the host, and the host's own Wine is left alone.
#
# Usage: wine32.sh setup        make the root (once; then it says so and stops)
#        wine32.sh exec CMD...  run CMD in the root, in the caller's directory
#                               and environment; the caller's /tmp and the
#                               project's directory are the same paths inside
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
root="$top/build/wine32/root"
packages=wine64,wine32:i386,qemu-user/bookworm-backports
stamp="$root/.packages"  # written last: what the root was made with

fail() {
  echo "wine32: $*" >&2
  exit 1
}

# The suites, from the mirrors this machine's apt uses.
apt_sources() {
  local debian=http://deb.debian.org/debian security=http://deb.debian.org/debian-security uri
  for uri in $(grep -hsE '^(URIs:|deb )' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list \
                 | grep -oE 'https?://[^ ]+' || true); do
    case "$uri" in
      *debian-security*) security=${uri%/} ;;
      */debian | */debian/) debian=${uri%/} ;;
    esac
  done
  echo "deb $debian bookworm main"
  echo "deb $debian bookworm-updates main"
  echo "deb $security bookworm-security main"
  echo "deb $debian bookworm-backports main"
}

setup() {
  if [ "$(cat "$stamp" 2>/dev/null)" = "$packages" ]; then
    echo "wine32: the root is there ($root)"
    return
  fi
  command -v mmdebstrap >/dev/null || fail "mmdebstrap is missing (scripts/install-deps.sh installs it)"
  [ "$(uname -m)" = x86_64 ] || fail "needs an x86_64 machine, not $(uname -m)"
  rm -rf "$root"
  mkdir -p "$(dirname "$root")"
  echo "wine32: making the root in $root (Debian 12 with $packages)"
  local sources=()
  while read -r line; do sources+=("$line"); done < <(apt_sources)
  mmdebstrap --quiet --variant=apt --architectures=amd64,i386 --include="$packages" \
    bookworm "$root" "${sources[@]}" || fail "mmdebstrap could not make the root"
  echo "$packages" > "$stamp"
}

# Inside a new user and mount namespace: qemu registered where the kernel
# cannot run 32-bit code itself, the host's /proc, /dev, /tmp and the
# project's directory bound in, then the command in the root.
run_inside() {
  local root=$1 top=$2 here=$3
  shift 3
  if ! chroot "$root" /usr/lib/wine/wine --version >/dev/null 2>&1; then
    mkdir -p "$root/run/binfmt"
    mount -t binfmt_misc binfmt_misc "$root/run/binfmt" 2>/dev/null ||
      fail "this kernel runs no 32-bit code and gives no private binfmt_misc (Linux 6.7 or later does)"
    local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    printf '%s' ":qemu-i386:M::$magic:$mask:$root/usr/bin/qemu-i386:F" > "$root/run/binfmt/register"
  fi
  for dir in /proc /dev /tmp "$top"; do
    mkdir -p "$root$dir"
    mount --rbind "$dir" "$root$dir"
  done
  exec chroot "$root" /bin/sh -c 'cd "$0" && exec "$@"' "$here" "$@"
}

case "${1:-}" in
  setup) setup ;;
  exec)
    shift
    [ $# -gt 0 ] || fail "usage: wine32.sh exec CMD..."
    [ -e "$stamp" ] || fail "no root yet: run 'bash scripts/wine32.sh setup' first"
    exec unshare --user --map-root-user --mount --propagation private \
      bash -c "$(declare -f fail run_inside); run_inside \"\$@\"" bash "$root" "$top" "$PWD" "$@"
    ;;
  *) fail "usage: wine32.sh setup | exec CMD..." ;;
esac
