#!/bin/sh
# Runs a test exe's server cases against tools/testserver/collector.py inside
# a private network namespace (tools/testserver/netns-run.sh). The test CA is
# trusted there; the collector listens on localhost:443 (HTTPS) and :8080.
# Cases named Server* run against the trusted certificate, then cases named
# UntrustedServer* against a certificate of an unknown authority.
# Usage: run-with-collector.sh BUILD_DIR TEST_EXE
# Wine keeps its sockets in the wineserver, so the exe runs with a prefix of
# its own whose wineserver starts (and ends) inside the namespace.
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
exe=$2
name=$(basename "$exe" .exe)
work="$build/collector/$name"
prefix="$build/wineprefix-net-$name"
mkdir -p "$work"
sh "$here/testca.sh" "$work/ca" > /dev/null
# A copy of the build's prefix saves a wineboot; its lock keeps the copy away
# from a wineboot in progress.
if [ ! -f "$prefix/system.reg" ] && [ -f "$build/wineprefix/system.reg" ]; then
  mkdir -p "$prefix"
  flock "$build/wineprefix/.lock" cp -a "$build/wineprefix/." "$prefix/"
  rm -f "$prefix/.xvfb" "$prefix/.display" "$prefix/.lock" "$prefix/.xvfb-fd"
fi
export NORLET_ROOT="$root" NORLET_WORK="$work" NORLET_PREFIX="$prefix" NORLET_EXE="$exe"
CA_CERT="$work/ca/ca.crt" exec sh "$here/netns-run.sh" sh -c '
  status=0
  run_phase() {
    cert=$1
    filter=$2
    log="$NORLET_WORK/log-$cert"
    rm -rf "$log"
    mkdir -p "$log"
    python3 "$NORLET_ROOT/tools/testserver/collector.py" --logdir "$log" \
      --cert "$NORLET_WORK/ca/$cert.crt" --key "$NORLET_WORK/ca/$cert.key" &
    pid=$!
    i=0
    while [ ! -f "$log/ready" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    NORLET_TEST_SERVER="$log" "$NORLET_ROOT/cmake/wine-run.sh" "$NORLET_PREFIX" "$NORLET_EXE" \
      --gtest_brief=1 --gtest_filter="$filter" || status=1
    kill $pid
    wait $pid 2>/dev/null || true
  }
  unset DISPLAY
  run_phase server "Server*"
  run_phase untrusted "UntrustedServer*"
  sh "$NORLET_ROOT/tools/winestop.sh" "$NORLET_PREFIX"
  exit $status
'
