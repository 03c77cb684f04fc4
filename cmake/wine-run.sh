#!/bin/sh
# Runs a Windows program under wine64 for CTest and the demo.
# Usage: wine-run.sh PREFIX_DIR PROGRAM [ARGS...]
# The build owns its Wine prefix (created once with wineboot), keeps one
# wineserver alive across a test run and, without a display, starts one
# Xvfb per prefix that later runs reuse. tools/winestop.sh ends both.
set -e
prefix=$1
shift
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEPREFIX="$prefix" WINEDEBUG=${WINEDEBUG:--all} WINEARCH=win64
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
mkdir -p "$prefix"

start_xvfb() {
  if [ -f "$prefix/.xvfb" ]; then
    read -r pid disp < "$prefix/.xvfb" || true
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then echo ":$disp"; return; fi
  fi
  fifo="$prefix/.xvfb-fd"
  rm -f "$fifo"
  setsid Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp > "$fifo" 2>/dev/null 9>&- &
  pid=$!
  i=0
  while [ ! -s "$fifo" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
  disp=$(head -n1 "$fifo")
  echo "$pid $disp" > "$prefix/.xvfb"
  echo ":$disp"
}

(
  flock 9
  if [ -z "$DISPLAY" ] || [ -n "$NORLET_OWN_XVFB" ]; then start_xvfb > "$prefix/.display"; fi
  "$WINESERVER" -p120 > /dev/null 2>&1 9>&- || true
  # Create the prefix once, and start Wine's background services here with
  # their output discarded: started by the program below they would inherit
  # its output and hold CTest's pipe open until the wineserver times out.
  init=""
  [ -f "$prefix/system.reg" ] || init=-i
  DISPLAY=$(cat "$prefix/.display" 2>/dev/null || echo "$DISPLAY") \
    "$WINE" wineboot $init > /dev/null 2>&1 9>&- || true
) 9> "$prefix/.lock"

if [ -z "$DISPLAY" ] || [ -n "$NORLET_OWN_XVFB" ]; then
  DISPLAY=$(cat "$prefix/.display")
  export DISPLAY
fi
# Wine starts helper processes on demand (the desktop for the first window,
# for example) that outlive the program and inherit its output. Writing to
# files rather than to the caller's pipe keeps them from holding that pipe
# (and CTest) open until they exit.
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
rc=0
"$WINE" "$@" > "$out" 2> "$err" || rc=$?
cat "$out"
cat "$err" >&2
exit $rc
