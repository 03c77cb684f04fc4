#!/bin/sh
# Configures and builds one target: tools/build.sh x86_64|i686 [cmake args...]
# The build tree is build/<target>.
set -e
arch=${1:-x86_64}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build/$arch" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" "$@" > /dev/null
ninja -C "$root/build/$arch" -j2
