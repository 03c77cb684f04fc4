#!/bin/sh
# Ends the wineserver and Xvfb that cmake/wine-run.sh left for PREFIX_DIR.
prefix=$1
[ -d "$prefix" ] || exit 0
WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
if [ -f "$prefix/.xvfb" ]; then
  read -r pid disp < "$prefix/.xvfb" || true
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -f "$prefix/.xvfb"
fi
exit 0
