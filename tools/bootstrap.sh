#!/bin/sh
# Installs everything a fresh Debian machine needs to build both targets,
# run the tests under Wine and serve the demo. Safe to run again.
set -e
PKGS="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev
wine wine64 xvfb xauth xdotool imagemagick cmake ninja-build
libspdlog-dev libfmt-dev rapidjson-dev libstb-dev libgtest-dev googletest
nginx-light openssl python3 iproute2 util-linux aria2 curl file binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 zip unzip"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
