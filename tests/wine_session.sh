#!/usr/bin/env bash
# Starts or ends the Wine session that the Windows tests share: a server that
# stays up between programs (starting one per program costs seconds) and the
# prefix's services. Started here, with nothing to write to, they hold no
# test's output open; ended, nothing is left running.
# Usage: wine_session.sh start SERVER... -- WINE...
#        wine_session.sh end SERVER...
set -euo pipefail
action=$1
shift
server=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do
  server+=("$1")
  shift
done
case "$action" in
  start)
    shift  # the --
    "${server[@]}" -p </dev/null >/dev/null 2>&1
    "$@" wineboot </dev/null >/dev/null 2>&1
    ;;
  end) "${server[@]}" -k ;;
esac
