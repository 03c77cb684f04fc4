#!/usr/bin/env python3
"""Test collector and fault server for the HTTP client library and analytics.

Serves plain HTTP on --http-port and, with --cert/--key, HTTPS on
--https-port. Every request is logged before it is answered: its raw head and
body go to LOGDIR/last.req and a line "<connection> <method> <target>" is
appended to LOGDIR/requests.log, so a test can assert the exact bytes sent and
whether a connection was reused. The path picks the answer (see route()).
Ready when LOGDIR/ready exists; stops on SIGTERM.
"""
import argparse
import os
import signal
import socket
import ssl
import threading
import time

args = None
conn_counter = 0
counter_lock = threading.Lock()
log_lock = threading.Lock()
MAX_HEAD = 65536


def pattern(n):
    return bytes(i % 251 for i in range(n))


def response(code, reason, body=b"", fields=(), length=True):
    head = "HTTP/1.1 %d %s\r\n" % (code, reason)
    if length:
        head += "Content-Length: %d\r\n" % len(body)
    for name, value in fields:
        head += "%s: %s\r\n" % (name, value)
    return head.encode("latin-1") + b"\r\n" + body


def log_request(conn_id, method, target, raw):
    with log_lock:
        with open(os.path.join(args.logdir, "last.req"), "wb") as f:
            f.write(raw)
        with open(os.path.join(args.logdir, "requests.log"), "a") as f:
            f.write("%d %s %s\n" % (conn_id, method, target))


def route(sock, method, path):
    """Answers one request; returns False when the connection must close."""
    parts = [p for p in path.split("?")[0].split("/") if p]
    name = parts[0] if parts else ""
    nums = [int(p) for p in parts[1:] if p.lstrip("-").isdigit()]
    here = "http://localhost:%d" % args.http_port
    if name == "status":
        sock.sendall(response(nums[0], "Status", b"status %d" % nums[0]))
    elif method == "POST":
        sock.sendall(response(200, "OK", b"collected"))
    elif name == "bytes":
        sock.sendall(response(200, "OK", pattern(nums[0])))
    elif name == "nolength":
        sock.sendall(response(200, "OK", pattern(nums[0]), [("Connection", "close")], False))
        return False
    elif name == "body":
        # Announces nums[0] bytes, sends nums[1], then closes.
        sock.sendall(response(200, "OK", fields=[("Content-Length", str(nums[0]))],
                              length=False) + pattern(nums[1]))
        return False
    elif name == "badlength":
        sock.sendall(response(200, "OK", fields=[("Content-Length", parts[1])], length=False)
                     + b"hello")
        return False
    elif name == "redirect":
        kind = parts[1]
        locations = {
            "abs": here + "/bytes/%d" % (nums[0] if nums else 100),
            "path": "/bytes/%d" % (nums[0] if nums else 100),
            "loop": "/redirect/loop",
            "absloop": here + "/redirect/absloop",
            "https": "https://localhost/bytes/10",
            "chain": "/redirect/chain/%d" % (nums[0] - 1) if nums and nums[0] > 0 else "/bytes/7",
        }
        if kind == "nolocation":
            sock.sendall(response(302, "Found"))
        elif kind == "bigbody":
            # The announced body never fully arrives: the connection cannot be reused.
            sock.sendall(response(302, "Found", fields=[("Location", "/bytes/9"),
                                                         ("Content-Length", "5000")],
                                  length=False) + b"x" * 10)
        else:
            sock.sendall(response(302, "Found", fields=[("Location", locations[kind])]))
    elif name == "longhead":
        sock.sendall(response(200, "OK", b"ok", [("X-Pad", "a" * 5000)]))
    elif name == "splithead":
        sock.sendall(b"HTTP/1.1 200 OK\r\nContent-Le")
        time.sleep(0.3)
        sock.sendall(b"ngth: 5\r\n\r\nhello")
    elif name == "headonly":
        sock.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n")
        return False
    elif name == "garbage":
        sock.sendall((b"\x00\xff garbage without line ends " * 200)[:5000])
        return False
    elif name == "nulhead":
        sock.sendall(b"HTTP/1.1 200 OK\r\nX-Odd: a\x00b\r\nContent-Length: 3\r\n\r\nabc")
    elif name == "close":
        return False
    elif name == "stall":
        # Head and half the body, a pause of nums[1] ms, then the rest.
        body = pattern(nums[0])
        sock.sendall(response(200, "OK", fields=[("Content-Length", str(nums[0]))],
                              length=False) + body[: nums[0] // 2])
        time.sleep(nums[1] / 1000.0)
        sock.sendall(body[nums[0] // 2:])
    else:
        sock.sendall(response(404, "Not Found", b"no such path"))
    return True


def read_request(sock, pending):
    # Empty lines before a request line are tolerated, as HTTP servers do.
    while True:
        pending = pending.lstrip(b"\r\n")
        if b"\r\n\r\n" in pending:
            break
        if len(pending) > MAX_HEAD:
            return None, b""
        chunk = sock.recv(65536)
        if not chunk:
            return None, b""
        pending += chunk
    end = pending.index(b"\r\n\r\n") + 4
    head, pending = pending[:end], pending[end:]
    length = 0
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            length = int(value.strip() or b"0")
    while len(pending) < length:
        chunk = sock.recv(65536)
        if not chunk:
            return None, b""
        pending += chunk
    return head + pending[:length], pending[length:]


def serve_connection(sock, wrap):
    global conn_counter
    with counter_lock:
        conn_counter += 1
        conn_id = conn_counter
    try:
        sock.settimeout(30)
        if wrap:
            sock = wrap(sock)
        pending = b""
        while True:
            raw, pending = read_request(sock, pending)
            if raw is None:
                return
            method, target = raw.split(b"\r\n", 1)[0].decode("latin-1").split(" ")[:2]
            log_request(conn_id, method, target, raw)
            if not route(sock, method, target):
                return
    except (OSError, ValueError, IndexError, ssl.SSLError):
        pass
    finally:
        try:
            sock.close()
        except OSError:
            pass


def listen(port, wrap):
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", port))
    server.listen(64)

    def loop():
        while True:
            sock, _ = server.accept()
            threading.Thread(target=serve_connection, args=(sock, wrap), daemon=True).start()

    threading.Thread(target=loop, daemon=True).start()


def main():
    global args
    parser = argparse.ArgumentParser()
    parser.add_argument("--logdir", required=True)
    parser.add_argument("--http-port", type=int, default=8080)
    parser.add_argument("--https-port", type=int, default=443)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    args = parser.parse_args()
    os.makedirs(args.logdir, exist_ok=True)
    listen(args.http_port, None)
    if args.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)

        def wrap(sock):
            return context.wrap_socket(sock, server_side=True)

        listen(args.https_port, wrap)
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    open(os.path.join(args.logdir, "ready"), "w").close()
    stop.wait()


if __name__ == "__main__":
    main()
