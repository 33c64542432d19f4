#!/usr/bin/env bash
# Everything from a fresh Debian 12 machine: installs what is missing, builds
# the three presets, runs every test natively and under Wine, and checks the
# shipped 32-bit files.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh native windows-x64 windows-x86

ctest --preset native
ctest --preset windows-x64
bash scripts/check-windows-files.sh build/windows-x86/launcher/toolrun.exe \
  build/windows-x86/installer/mkshortcuts.exe
echo "all tests passed"
