#!/usr/bin/env bash
# Configures and builds the given presets (default: the programs for this
# machine and both Windows builds, and the 32-bit test programs, which run
# the windows-x86 build's files and so come after it).
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ $# -gt 0 ] || presets=(native windows-x64 windows-x86 windows-x86-tests)
for p in "${presets[@]}"; do
  cmake --preset "$p" >/dev/null
  cmake --build --preset "$p"
done
