#!/usr/bin/env bash
# Everything from a fresh Debian 12 machine: installs what is missing, builds
# the presets, runs every test natively, under the sanitizers and under Wine,
# checks the shipped 32-bit files, runs clang-tidy, and fuzzes briefly.
# Usage: test.sh [FUZZ_SECONDS_PER_TARGET]   (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh native windows-x64 windows-x86 asan

ctest --preset native
ctest --preset asan
ctest --preset windows-x64
bash scripts/check-windows-files.sh build/windows-x86/launcher/toolrun.exe \
  build/windows-x86/installer/mkshortcuts.exe
bash scripts/lint.sh
bash scripts/fuzz.sh "${1:-30}"
echo "all tests passed"
