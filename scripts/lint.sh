#!/usr/bin/env bash
# clang-tidy over the programs' sources with the checked-in .clang-tidy:
# the portable and POSIX files as the native build compiles them, the
# Windows files as the 64-bit mingw build does. Any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --preset windows-x64 >/dev/null

windows=(launcher/*-win32.cc installer/*-win32.cc)
portable=()
for f in launcher/*.cc installer/*.cc; do
  [[ "$f" == *-win32.cc ]] || portable+=("$f")
done
# The native programs link musl through a gcc specs file, which clang ignores.
clang-tidy --quiet -p build/native --extra-arg=-Wno-unused-command-line-argument "${portable[@]}" 2>/dev/null
clang-tidy --quiet -p build/windows-x64 --extra-arg=--target=x86_64-w64-mingw32 "${windows[@]}" 2>/dev/null
echo "clang-tidy: no findings in ${#portable[@]} portable and POSIX and ${#windows[@]} Windows files"
