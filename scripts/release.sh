#!/usr/bin/env bash
# Makes the release: the shipped 32-bit build and its ZIP, with the commit's
# time in place of the build's (SOURCE_DATE_EPOCH), so that anyone who builds
# the same commit gets the same bytes; and beside the ZIP its SHA-256, as
# `sha256sum -c` reads it.
# Usage: release.sh [BUILD_DIR]   (default build/windows-x86; made with the windows-x86 preset)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/windows-x86}
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
cmake --preset windows-x86 -B "$build" >/dev/null
cmake --build "$build" >/dev/null
(cd "$build" && rm -f ./*.zip ./*.zip.sha256 && cpack -G ZIP >/dev/null)
zip=$(cd "$build" && ls ./*.zip)
(cd "$build" && sha256sum "${zip#./}" > "${zip#./}.sha256")
echo "$build/${zip#./}"
cat "$build/${zip#./}.sha256"
