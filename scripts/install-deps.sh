#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, as root; does
# nothing when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest          # native build, GoogleTest sources
  musl-tools                                # the C library the native programs link
  g++-mingw-w64-i686-win32                  # the shipped 32-bit build
  g++-mingw-w64-i686-posix                  # its test programs (GoogleTest)
  g++-mingw-w64-x86-64-posix                # the 64-bit build tested under Wine
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64                                    # runs the 64-bit build here
  clang libclang-rt-14-dev clang-tidy       # sanitizers, libFuzzer, static analysis
  hyperfine                                 # native launch benchmark
  mmdebstrap                                # the 32-bit Wine root (scripts/wine32.sh)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
