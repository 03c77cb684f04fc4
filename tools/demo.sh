#!/bin/sh
# The main job: bootstrap, build, and start the setup program under Wine.
# Uses the caller's X display when there is one, else a private Xvfb.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
sh "$root/tools/bootstrap.sh"
sh "$root/tools/build.sh" x86_64
exe="$root/build/x86_64/src/app/norlet_setup.exe"
"$root/cmake/wine-run.sh" "$root/build/x86_64/wineprefix" "$exe"
