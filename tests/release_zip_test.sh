#!/usr/bin/env bash
# Makes the release ZIP of a Windows build, unpacks it, checks that its
# programs are that build's very files (the ones the other tests ran), and
# runs both under Wine from where it was unpacked.
# Usage: release_zip_test.sh BUILD_DIR WINE...
set -euo pipefail
build=$1
shift
wine=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$work/out" >/dev/null
zip=$(ls "$work"/out/*.zip)
mkdir "$work/unpacked" && (cd "$work/unpacked" && cmake -E tar xf "$zip")
top=$(ls -d "$work"/unpacked/*/)
top=${top%/}

fail() { echo "FAILED: $*"; exit 1; }
for f in mkshortcuts.exe gcc/bin/toolrun.exe README.md LICENSE; do
  [ -f "$top/$f" ] || fail "$f missing from $(basename "$zip")"
done
same() { [ "$(sha256sum < "$1")" = "$(sha256sum < "$2")" ] || fail "$1 is not $2"; }
same "$top/gcc/bin/toolrun.exe" "$build/launcher/toolrun.exe"
same "$top/mkshortcuts.exe" "$build/installer/mkshortcuts.exe"

# The launcher runs its child in its package's gcc\bin and passes its status on.
cwd=$(cd "$top" && "${wine[@]}" gcc/bin/toolrun.exe cmd /c cd | tr -d '\r')
[[ "$cwd" == *'\gcc\bin' ]] || fail "child ran in '$cwd'"
status=0
(cd "$top" && "${wine[@]}" gcc/bin/toolrun.exe cmd /c exit 3) || status=$?
[ "$status" -eq 3 ] || fail "child status 3 came back as $status"

# The installer finds gcc\bin and runs shortcut there three times.
printf '@echo shortcut %%2\r\n' > "$top/gcc/bin/shortcut.bat"
out=$(cd "$top" && "${wine[@]}" mkshortcuts.exe | tr -d '\r')
[[ "$out" == *'\gcc\bin'* ]] || fail "installer said '$out'"
[ "$(grep -c '^shortcut [123]$' <<<"$out")" -eq 3 ] || fail "installer runs: '$out'"

echo "ok: $(basename "$zip") unpacks to the package and runs under Wine"
