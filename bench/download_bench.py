#!/usr/bin/env python3
"""Segmented download benchmark against nginx, aria2c and curl.

    python3 bench/download_bench.py [BUILD_DIR] [--rate 2m]

BUILD_DIR is an x86_64 build tree with bench/download_bench.exe (default
build/x86_64). Inside a private network (tools/testserver/servers.py, needs
root) nginx serves a 40 MiB file over https at RATE per connection; one run
prints our 5-thread time, the bound 40 MiB / (5 x RATE), aria2c with five
connections and curl with one, then unthrottled loopback throughput of ours
and curl's. Every downloaded file is compared with the served one. Our time
is the download itself (HttpDownload with its own size query and five
ranged requests); the setup program has already asked for the size once by
then (its disk-space check), which loads both HTTP stacks and the TLS roots,
so the benchmark does the same first and prints that query's time apart.
"""
import argparse
import filecmp
import os
import re
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
SIZE = 40 * 1024 * 1024
THREADS = 5


def parse_rate(text):
    m = re.fullmatch(r"(\d+)([kKmM]?)", text)
    if not m:
        raise SystemExit("bad rate %r (nginx syntax: 512k, 2m)" % text)
    return int(m.group(1)) * {"": 1, "k": 1024, "m": 1 << 20}[m.group(2).lower()]


def host_to_wine(path):
    return "Z:" + path.replace("/", "\\")


def timed(cmd):
    began = time.monotonic()
    proc = subprocess.run(cmd, capture_output=True, text=True)
    if proc.returncode:
        raise SystemExit("%s failed (%d):\n%s%s" % (cmd[0], proc.returncode, proc.stdout, proc.stderr))
    return time.monotonic() - began


class Ours:
    def __init__(self, build, prefix):
        self.exe = os.path.join(build, "bench", "download_bench.exe")
        self.runner = [os.path.join(ROOT, "cmake", "wine-run.sh"), prefix]

    def fetch(self, url, out):
        proc = subprocess.run(self.runner + [self.exe, url, str(THREADS), host_to_wine(out)],
                              capture_output=True, text=True)
        m = re.search(r"size_ms=(\d+) result=(-?\d+) ms=(\d+)", proc.stdout)
        if not m or m.group(2) != "0":
            raise SystemExit("our download failed:\n" + proc.stdout + proc.stderr)
        return int(m.group(3)) / 1000.0, int(m.group(1)) / 1000.0


def check(out, served, what):
    if not filecmp.cmp(out, served, shallow=False):
        raise SystemExit("%s: downloaded file differs from the served one" % what)
    os.remove(out)


def inside(args):
    work = os.environ["NORLET_TESTSERVER_DIR"]
    served = os.path.join(work, "www", "%d.bin" % SIZE)
    out = os.path.join(work, "bench-out")
    os.makedirs(out, exist_ok=True)
    limited = "https://localhost/limited/%d.bin" % SIZE
    full = "https://localhost/%d.bin" % SIZE
    ours = Ours(args.build, args.prefix)
    ours.fetch("https://localhost/100.bin", os.path.join(out, "warm.bin"))  # Wine start-up

    rate = parse_rate(args.rate)
    mib = SIZE / (1 << 20)
    print("40 MiB over https from nginx, limit_rate %s per connection (%.2f MiB/s)"
          % (args.rate, rate / (1 << 20)))
    bound = SIZE / (THREADS * rate)
    t_ours, t_first_size = ours.fetch(limited, os.path.join(out, "ours.bin"))
    check(os.path.join(out, "ours.bin"), served, "ours")
    aria = ["aria2c", "-q", "--async-dns=false", "-x5", "-s5", "-k1M", "--file-allocation=none",
            "--allow-overwrite=true", "-d", out, "-o", "aria.bin", limited]
    t_aria = timed(aria)
    check(os.path.join(out, "aria.bin"), served, "aria2c")
    t_curl = timed(["curl", "-sf", "-o", os.path.join(out, "curl.bin"), limited])
    check(os.path.join(out, "curl.bin"), served, "curl")
    print("  ours, %d threads          %7.2f s  (%.2f x bound)" % (THREADS, t_ours, t_ours / bound))
    print("    + the process's first size query, as setup makes it before: %.2f s"
          % t_first_size)
    print("  bound 40 MiB / (5 x R)    %7.2f s" % bound)
    print("  aria2c -x5 -s5 -k1M       %7.2f s  (%.2f x bound)" % (t_aria, t_aria / bound))
    print("  curl, one stream          %7.2f s" % t_curl)

    print("unthrottled loopback, same file")
    t_ours_full, _ = ours.fetch(full, os.path.join(out, "ours.bin"))
    check(os.path.join(out, "ours.bin"), served, "ours")
    t_curl_full = timed(["curl", "-sf", "-o", os.path.join(out, "curl.bin"), full])
    check(os.path.join(out, "curl.bin"), served, "curl")
    print("  ours, %d threads          %7.2f s  %8.1f MiB/s" % (THREADS, t_ours_full,
                                                             mib / t_ours_full))
    print("  curl, one stream          %7.2f s  %8.1f MiB/s" % (t_curl_full, mib / t_curl_full))
    return 0


def main():
    ap = argparse.ArgumentParser(usage=__doc__.splitlines()[2].strip())
    ap.add_argument("build", nargs="?", default=os.path.join(ROOT, "build", "x86_64"))
    ap.add_argument("--rate", default="2m", help="nginx limit_rate per connection")
    ap.add_argument("--inside", action="store_true", help=argparse.SUPPRESS)
    ap.add_argument("--prefix", help=argparse.SUPPRESS)
    args = ap.parse_args()
    args.build = os.path.abspath(args.build)
    if args.inside:
        return inside(args)
    prefix = os.path.join(args.build, "wineprefix-dlbench")
    return subprocess.run([
        sys.executable, os.path.join(ROOT, "tools", "testserver", "servers.py"),
        os.path.join(args.build, "testserver", "bench"), "--big", "--rate", args.rate,
        "--wineprefix", prefix, "--", sys.executable, os.path.abspath(__file__), args.build,
        "--rate", args.rate, "--inside", "--prefix", prefix]).returncode


if __name__ == "__main__":
    sys.exit(main())
