#!/usr/bin/env bash
# Builds the release twice from this commit, in two directories and at two
# times, and checks that toolrun.exe, mkshortcuts.exe and the ZIP come out
# bit for bit the same.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The commit's time, as release.sh takes it in a clone (the copies below have
# no history of their own).
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
for copy in first second; do
  mkdir -p "$work/$copy/source"
  git archive HEAD | tar -x -C "$work/$copy/source"
  (cd "$work/$copy/source" && bash scripts/release.sh "$work/$copy/build" >/dev/null)
  sleep 2  # a second build at another time
done
status=0
for file in launcher/toolrun.exe installer/mkshortcuts.exe toolrun-*-win32.zip toolrun-*-win32.zip.sha256; do
  first=$(cd "$work/first/build" && sha256sum $file)
  second=$(cd "$work/second/build" && sha256sum $file)
  if [ "$first" = "$second" ]; then
    echo "same: $first"
  else
    echo "FAILED: differ: $first / $second"
    status=1
  fi
done
exit $status
