#!/bin/sh
# The test command: bootstrap, build both targets, run every test under Wine.
# CTest's summary is the last thing printed.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
sh "$root/tools/bootstrap.sh"
sh "$root/tools/build.sh" i686
sh "$root/tools/build.sh" x86_64
cd "$root/build/x86_64"
status=0
ctest --output-on-failure -j2 "$@" || status=$?
sh "$root/tools/winestop.sh" "$root/build/x86_64/wineprefix"
exit $status
