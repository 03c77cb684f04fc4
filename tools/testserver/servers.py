#!/usr/bin/env python3
"""Runs a command next to the download test servers, in a private network.

    servers.py WORKDIR [--rate RATE] [--big] [--wineprefix DIR] -- COMMAND...

Outside the namespace it makes the test CA and certificates in WORKDIR, then
re-enters itself through netns-run.sh (which trusts the test CA inside the
namespace only). Inside it maps the test host names, writes the data files,
starts nginx (127.0.0.1 and ::1, ports 80 and 443, name "localhost") and the
fault server, runs COMMAND with NORLET_TESTSERVER_DIR=WORKDIR and stops them.

Hosts inside the namespace:
  localhost       nginx; /<size>.bin files, /limited/<size>.bin at RATE per connection
  faults.test     127.0.0.2, fault server on 80 and 443 (trusted certificate)
  plain.test      127.0.0.3, fault server on 80 only (nothing listens on 443)
  untrusted.test  127.0.0.4, fault server on 80, and 443 with an untrusted certificate
WORKDIR/nginx/access.log and WORKDIR/faults.log record every request.
Wine keeps its sockets in the wineserver: with --wineprefix, that prefix's
wineserver is stopped before and after COMMAND so one starts inside.
"""
import argparse
import os
import signal
import socket
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SIZES = [0, 3, 10, 100, 102401, 1000000]
BIG_SIZE = 40 * 1024 * 1024
SKIPPED = 77  # CTest's SKIP_RETURN_CODE for the server tests
HOSTS = {"faults.test": "127.0.0.2", "plain.test": "127.0.0.3", "untrusted.test": "127.0.0.4"}


def run(*cmd, **kw):
    subprocess.run(cmd, check=True, **kw)


def make_certificates(work):
    ca = os.path.join(work, "ca")
    run("sh", os.path.join(HERE, "testca.sh"), ca)
    if os.path.exists(os.path.join(ca, "faults.crt")):
        return
    with open(os.path.join(ca, "faults.cnf"), "w") as f:
        f.write("[ext]\nsubjectAltName = DNS:faults.test\nbasicConstraints = CA:FALSE\n"
                "extendedKeyUsage = serverAuth\n")
    quiet = {"stderr": subprocess.DEVNULL}
    run("openssl", "req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=faults.test",
        "-keyout", os.path.join(ca, "faults.key"), "-out", os.path.join(ca, "faults.csr"), **quiet)
    run("openssl", "x509", "-req", "-in", os.path.join(ca, "faults.csr"),
        "-CA", os.path.join(ca, "ca.crt"), "-CAkey", os.path.join(ca, "ca.key"),
        "-CAcreateserial", "-days", "30", "-extfile", os.path.join(ca, "faults.cnf"),
        "-extensions", "ext", "-out", os.path.join(ca, "faults.crt"), **quiet)


def write_data(www, big):
    os.makedirs(www, exist_ok=True)
    for size in SIZES + ([BIG_SIZE] if big else []):
        path = os.path.join(www, "%d.bin" % size)
        if os.path.exists(path) and os.path.getsize(path) == size:
            continue
        with open(path + ".tmp", "wb") as f:
            left = size
            while left:
                chunk = min(left, 1 << 20)
                f.write(os.urandom(chunk))
                left -= chunk
        os.replace(path + ".tmp", path)


def map_hosts(work):
    hosts = os.path.join(work, "hosts")
    with open(hosts, "w") as f:
        f.write("127.0.0.1 localhost\n::1 localhost ip6-localhost\n")
        for name, addr in HOSTS.items():
            f.write("%s %s\n" % (addr, name))
    run("mount", "--bind", hosts, "/etc/hosts")


def have_ipv6_loopback():
    try:
        with socket.socket(socket.AF_INET6, socket.SOCK_STREAM) as s:
            s.bind(("::1", 0))
        return True
    except OSError:
        return False


def nginx_conf(work, rate):
    ngx = os.path.join(work, "nginx")
    os.makedirs(ngx, exist_ok=True)
    listens = ["127.0.0.1"] + (["[::1]"] if have_ipv6_loopback() else [])
    listen_lines = "".join("    listen %s:80;\n    listen %s:443 ssl;\n" % (a, a) for a in listens)
    temps = "".join("  %s_temp_path %s/%s;\n" % (t, ngx, t)
                    for t in ("client_body", "proxy", "fastcgi", "uwsgi", "scgi"))
    user = "user root;\n" if os.geteuid() == 0 else ""
    conf = f"""{user}worker_processes 2;
daemon off;
pid {ngx}/nginx.pid;
error_log {ngx}/error.log;
events {{ worker_connections 1024; }}
http {{
  log_format norlet '$server_port $request_method "$request_uri" "$http_range" $status $body_bytes_sent';
  access_log {ngx}/access.log norlet;
{temps}  sendfile on;
  tcp_nopush on;
  keepalive_timeout 30;
  types {{ application/octet-stream bin; }}
  default_type application/octet-stream;
  server {{
{listen_lines}    server_name localhost;
    ssl_certificate {work}/ca/server.crt;
    ssl_certificate_key {work}/ca/server.key;
    root {work}/www;
    location /limited/ {{
      alias {work}/www/;
      limit_rate {rate};
    }}
  }}
}}
"""
    path = os.path.join(ngx, "nginx.conf")
    with open(path, "w") as f:
        f.write(conf)
    return path


def wait_for_ports(endpoints, timeout=10):
    deadline = time.monotonic() + timeout
    for addr, port in endpoints:
        while True:
            try:
                socket.create_connection((addr, port), timeout=1).close()
                break
            except OSError:
                if time.monotonic() > deadline:
                    raise RuntimeError("server on %s:%d did not start" % (addr, port))
                time.sleep(0.05)


def stop_wineserver(prefix):
    if prefix:
        subprocess.run(["sh", os.path.join(HERE, "..", "winestop.sh"), prefix])


def inside(args):
    work = args.work
    map_hosts(work)
    write_data(os.path.join(work, "www"), args.big)
    for log in ("faults.log", os.path.join("nginx", "access.log")):
        if os.path.exists(os.path.join(work, log)):
            os.remove(os.path.join(work, log))
    conf = nginx_conf(work, args.rate)
    ca = os.path.join(work, "ca")
    nginx = subprocess.Popen(["nginx", "-p", os.path.join(work, "nginx"), "-c", conf])
    faults = subprocess.Popen([
        sys.executable, os.path.join(HERE, "faultserver.py"), "--root", os.path.join(work, "www"),
        "--log", os.path.join(work, "faults.log"),
        "--listen", "127.0.0.2:80", "--listen", "127.0.0.3:80", "--listen", "127.0.0.4:80",
        "--listen-tls", "127.0.0.2:443:%s/faults.crt:%s/faults.key" % (ca, ca),
        "--listen-tls", "127.0.0.4:443:%s/untrusted.crt:%s/untrusted.key" % (ca, ca)],
        stdout=subprocess.DEVNULL)
    status = 1
    try:
        wait_for_ports([("127.0.0.1", 80), ("127.0.0.1", 443), ("127.0.0.2", 80),
                        ("127.0.0.2", 443), ("127.0.0.3", 80), ("127.0.0.4", 443)])
        stop_wineserver(args.wineprefix)
        env = dict(os.environ, NORLET_TESTSERVER_DIR=work)
        status = subprocess.run(args.command, env=env).returncode
    finally:
        stop_wineserver(args.wineprefix)
        faults.terminate()
        nginx.send_signal(signal.SIGQUIT)
        for proc in (faults, nginx):
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                proc.kill()
    return status


def main():
    ap = argparse.ArgumentParser(usage=__doc__.splitlines()[2].strip())
    ap.add_argument("work")
    ap.add_argument("--rate", default="1m", help="nginx limit_rate for /limited/ (default 1m)")
    ap.add_argument("--big", action="store_true", help="also serve a 40 MiB file")
    ap.add_argument("--wineprefix", help="Wine prefix whose wineserver must start inside")
    ap.add_argument("command", nargs="+")
    args = ap.parse_args()
    args.work = os.path.abspath(args.work)
    if os.environ.get("NORLET_IN_TESTNET") == "1":
        return inside(args)
    if os.geteuid() != 0:
        print("servers.py: needs root for a private network namespace; skipped")
        return SKIPPED
    os.makedirs(args.work, exist_ok=True)
    make_certificates(args.work)
    env = dict(os.environ, NORLET_IN_TESTNET="1", CA_CERT=os.path.join(args.work, "ca", "ca.crt"))
    return subprocess.run(["sh", os.path.join(HERE, "netns-run.sh"), sys.executable,
                           os.path.abspath(__file__)] + sys.argv[1:], env=env).returncode


if __name__ == "__main__":
    sys.exit(main())
