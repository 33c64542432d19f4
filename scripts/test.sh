#!/usr/bin/env bash
# Everything from a fresh Debian 12 machine: installs what is missing, builds
# the presets, runs every test natively, under the sanitizers, under Wine (the
# 64-bit build) and under 32-bit Wine (the shipped 32-bit files themselves),
# checks the shipped files and that the release builds reproducibly, runs
# clang-tidy, and fuzzes briefly.
# Usage: test.sh [FUZZ_SECONDS_PER_TARGET]   (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/wine32.sh setup
bash scripts/build.sh native windows-x64 windows-x86 windows-x86-tests asan

ctest --preset native
ctest --preset asan
ctest --preset windows-x64
ctest --preset windows-x86
bash scripts/check-windows-files.sh build/windows-x86/launcher/toolrun.exe \
  build/windows-x86/installer/mkshortcuts.exe
bash scripts/check-reproducible.sh
bash scripts/lint.sh
bash scripts/fuzz.sh "${1:-30}"
echo "all tests passed"
