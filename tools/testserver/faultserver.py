#!/usr/bin/env python3
"""A small scriptable HTTP/HTTPS server that misbehaves on request.

The path chooses the behaviour: /<mode>/<tag>/<size>.bin serves the file
<size>.bin from --root (ranges honoured) unless the mode says otherwise. The
tag only separates one test's requests (and drop state) from another's.

Modes:
  ok        normal ranged serving
  drop      the first GET of each distinct Range is cut after half its body
  norange   Range ignored: always 200 with the whole file
  nolen     no Content-Length; the body ends when the connection closes
  badlen    GET: Content-Length one byte short of the body it sends
  nohead    HEAD answered 405 (with a Content-Length of the error text)
  s404, s416, s500   that status, with a short text body, for every request
  r416      HEAD as normal, every GET with a Range answered 416
  stall     headers and half the body, then silence for 120 s
  slowN     ranged serving at N bytes per second per connection
  redirect  302 to the same file over plain http on the same host (mode ok)
  shift     every 206 carries the bytes of a range one byte further on (one
            byte back for a range that ends the file), and Content-Range names
            that shifted range truly; the body has the asked-for length
  shiftonce only the first GET of each distinct Range is shifted; later ones
            are served correctly
  badtotal  206 with the asked-for bytes but a Content-Range total one above
            the file's size

Every request is appended to --log as one JSON line (port, tls, method, path,
range, user agent) before it is answered, so tests can check what was asked.
"""
import argparse
import http.server
import json
import os
import re
import socket
import socketserver
import ssl
import sys
import threading
import time

_log_lock = threading.Lock()
_first_lock = threading.Lock()
_first_seen = set()


def _first_time(key):
    """True only the first time a key is seen by this server process."""
    with _first_lock:
        first = key not in _first_seen
        _first_seen.add(key)
    return first


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "faultserver"

    def log_message(self, fmt, *args):
        pass

    def _record(self):
        entry = {
            "port": self.server.server_address[1],
            "tls": self.server.tls_context is not None,
            "host": self.headers.get("Host", ""),
            "method": self.command,
            "path": self.path,
            "range": self.headers.get("Range", ""),
            "ua": self.headers.get("User-Agent"),
        }
        with _log_lock, open(self.server.log_path, "a") as f:
            f.write(json.dumps(entry) + "\n")

    def do_HEAD(self):
        self._handle(False)

    def do_GET(self):
        self._handle(True)

    def _text(self, status, text, with_body, extra=None):
        body = text.encode()
        self.send_response(status)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        for name, value in (extra or {}).items():
            self.send_header(name, value)
        self.end_headers()
        if with_body:
            self.wfile.write(body)

    def _cut(self):
        self.wfile.flush()
        try:
            self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self.close_connection = True

    def _handle(self, with_body):
        self._record()
        m = re.match(r"^/([a-z0-9]+)/([^/]+)/(\d+)\.bin(\?.*)?$", self.path)
        if not m:
            return self._text(404, "no such path\n", with_body)
        mode, tag, size = m.group(1), m.group(2), m.group(3)
        path = os.path.join(self.server.root, size + ".bin")
        if not os.path.exists(path):
            return self._text(404, "no such file\n", with_body)
        if mode in ("s404", "s416", "s500"):
            return self._text(int(mode[1:]), "error page for a faulty server\n", with_body)
        if mode == "nohead" and not with_body:
            return self._text(405, "method not allowed\n", False, {"Allow": "GET"})
        if mode == "redirect":
            host = self.headers.get("Host", "").split(":")[0]
            target = "http://%s/ok/%s/%s.bin" % (host, tag, size)
            return self._text(302, "moved\n", with_body, {"Location": target})
        with open(path, "rb") as f:
            data = f.read()
        total = len(data)
        status, start, end = 200, 0, total - 1
        rng = self.headers.get("Range", "")
        rm = re.match(r"^bytes=(\d+)-(\d+)$", rng.strip())
        if rm and mode != "norange":
            start, end = int(rm.group(1)), int(rm.group(2))
            if mode == "r416" or start > end or start >= total:
                return self._text(416, "range not satisfiable\n", with_body,
                                  {"Content-Range": "bytes */%d" % total})
            end = min(end, total - 1)
            status = 206
        shown_total = total + 1 if mode == "badtotal" else total
        if status == 206 and (mode == "shift" or
                              (mode == "shiftonce" and _first_time((self.path, rng)))):
            # A range that is the whole file cannot move and is served as asked.
            step = 1 if end + 1 < total else (-1 if start > 0 else 0)
            start, end = start + step, end + step
        body = data[start:end + 1]
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Accept-Ranges", "bytes")
        if status == 206:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, end, shown_total))
        if mode == "nolen":
            self.send_header("Connection", "close")
            self.close_connection = True
        elif mode == "badlen" and with_body:
            self.send_header("Content-Length", str(max(len(body) - 1, 0)))
        else:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if not with_body:
            return
        if mode == "drop":
            if _first_time((self.path, rng)):
                self.wfile.write(body[:len(body) // 2])
                self.wfile.flush()
                time.sleep(0.5)  # let the client take the half in before the cut
                return self._cut()
        if mode == "stall":
            self.wfile.write(body[:len(body) // 2])
            self.wfile.flush()
            time.sleep(120)
            return self._cut()
        if mode == "badlen":
            self.wfile.write(body)
            return self._cut()
        if mode.startswith("slow") and mode[4:].isdigit():
            return self._send_slowly(body, int(mode[4:]))
        self.wfile.write(body)

    def _send_slowly(self, body, rate):
        step = max(rate // 10, 1)
        began = time.monotonic()
        for offset in range(0, len(body), step):
            self.wfile.write(body[offset:offset + step])
            self.wfile.flush()
            due = began + (offset + step) / rate
            delay = due - time.monotonic()
            if delay > 0:
                time.sleep(delay)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, root, log_path, tls_context):
        self.root, self.log_path, self.tls_context = root, log_path, tls_context
        super().__init__(address, Handler)

    # The TLS handshake runs on the request's own thread, so a client that
    # rejects the certificate never holds up the accept loop.
    def finish_request(self, request, client_address):
        if self.tls_context is not None:
            try:
                request = self.tls_context.wrap_socket(request, server_side=True)
            except (ssl.SSLError, OSError):
                return
        try:
            super().finish_request(request, client_address)
        except (ConnectionError, ssl.SSLError, OSError):
            pass


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--root", required=True, help="folder with <size>.bin files")
    ap.add_argument("--log", required=True, help="request log, one JSON line each")
    ap.add_argument("--listen", action="append", default=[], metavar="ADDR:PORT")
    ap.add_argument("--listen-tls", action="append", default=[], metavar="ADDR:PORT:CERT:KEY")
    args = ap.parse_args()
    servers = []
    for listen in args.listen:
        addr, port = listen.rsplit(":", 1)
        servers.append(Server((addr, int(port)), args.root, args.log, None))
    for listen_tls in args.listen_tls:
        addr, port, cert, key = listen_tls.split(":")
        ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        ctx.load_cert_chain(cert, key)
        servers.append(Server((addr, int(port)), args.root, args.log, ctx))
    for server in servers:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    print("ready", flush=True)
    try:
        while True:
            time.sleep(3600)
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
