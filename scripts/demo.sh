#!/usr/bin/env bash
# The main job, from a fresh Debian 12 machine: installs what is missing,
# builds, lays out demo packages with `cmake --install`, and shows the
# programs at work in them, natively and under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh native windows-x64 windows-x86 >/dev/null

demo="$PWD/build/demo"
rm -rf "$demo"
native="$demo/Native Package"
windows="$demo/Windows Package"
cmake --install build/native --prefix "$native" >/dev/null
cmake --install build/windows-x64 --prefix "$windows" >/dev/null
export WINEPREFIX="$demo/wineprefix" WINEDEBUG=-all
wine=/usr/lib/wine/wine64
"$wine" wineboot --init >/dev/null 2>&1

show() {  # prints a command, then runs it
  echo "\$ $*"
  "$@" || echo "(exit status $?)"
}

# A stand-in for the outside `shortcut` program: says what it was asked to do.
tools="$demo/tools"
mkdir -p "$tools"
cat > "$tools/shortcut" <<'SH'
#!/bin/sh
echo "  shortcut: make shortcut $2 to $1, in $3 (asked from $(pwd))"
SH
chmod +x "$tools/shortcut"
printf '@echo   shortcut: make shortcut %%2 to %%1, in %%3 (asked from %%CD%%)\r\n' \
  > "$windows/gcc/bin/shortcut.bat"

echo "== Native package: $native"
(cd "$native" && find . -type f | sort)
echo "-- the installer, from the package's top, with a stand-in shortcut on PATH"
(cd "$native" && PATH="$tools:$PATH" show ./mkshortcuts)
cd "$demo"
touch hello.c
echo "-- the child's directory, PATH and arguments (hello.c exists here, missing.c does not)"
show "$native/gcc/bin/toolrun" /bin/pwd
show "$native/gcc/bin/toolrun" /usr/bin/printenv PATH
show "$native/gcc/bin/toolrun" /bin/echo -c hello.c missing.c -O2
echo "-- the child's exit status is passed on; a program found only on the caller's PATH is not"
show "$native/gcc/bin/toolrun" /bin/false
show "$native/gcc/bin/toolrun" ls

echo
echo "== Windows package under Wine: $windows"
(cd "$windows" && find . -type f | sort)
echo "-- the installer, from the package's top, with a stand-in shortcut.bat in gcc\\bin"
(cd "$windows" && show "$wine" mkshortcuts.exe)
touch "Hello World.c"
echo "-- the child's directory, PATH and arguments, in short form (\"Hello World.c\" exists here)"
show "$wine" "$windows/gcc/bin/toolrun.exe" cmd /c cd
show "$wine" "$windows/gcc/bin/toolrun.exe" cmd /c echo %PATH%
show "$wine" "$windows/gcc/bin/toolrun.exe" cmd /c echo "Hello World.c" missing.c -O2
echo "-- the child's exit status is passed on"
show "$wine" "$windows/gcc/bin/toolrun.exe" cmd /c exit 3
