#!/usr/bin/env bash
# Checks that the shipped Windows programs are what a 32-bit Windows console
# expects: PE32 for i386, console subsystem, importing only KERNEL32.dll and
# msvcrt.dll, at most 20 KiB each.
set -euo pipefail
status=0
for exe in "$@"; do
  dump=$(i686-w64-mingw32-objdump -p "$exe")
  size=$(stat -c %s "$exe")
  imports=$(grep 'DLL Name:' <<<"$dump" | awk '{print $3}' | sort | tr '\n' ' ')
  problems=()
  grep -q 'file format pei-i386' <<<"$dump" || problems+=("not PE32 i386")
  grep -q '^Magic.*010b' <<<"$dump" || problems+=("not PE32")
  grep -q 'Subsystem.*Windows CUI' <<<"$dump" || problems+=("not a console program")
  [ "$imports" = "KERNEL32.dll msvcrt.dll " ] || problems+=("imports: $imports")
  [ "$size" -le 20480 ] || problems+=("$size bytes, over 20 KiB")
  if [ ${#problems[@]} -eq 0 ]; then
    echo "ok: $exe: PE32 i386 console, imports ${imports}$size bytes"
  else
    echo "FAILED: $exe: ${problems[*]}"
    status=1
  fi
done
exit $status
