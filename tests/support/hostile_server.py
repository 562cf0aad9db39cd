#!/usr/bin/env python3
"""A misbehaving web server for the update tests, on 127.0.0.1 only.

Prints "PORT TLSPORT ROGUEPORT" on its first line: plain HTTP (which also
tunnels CONNECT to the TLS port, as a proxy would), TLS with the certificate
the test authority signed, and TLS with a self-signed certificate. Each
request line is appended to the log file before the answer. Stops by itself
after --lifetime seconds, or when its stdin closes with --watch-stdin.
"""
import argparse
import os
import socket
import socketserver
import ssl
import sys
import threading
import time
import urllib.parse

ARGS = None
LOG_LOCK = threading.Lock()
COUNTS = {}
LIMIT = 2048000


def log(line):
    with LOG_LOCK, open(ARGS.log, "a") as f:
        f.write(line + "\n")


def answer(conn, status, body=b"", headers=(), length=True):
    head = "HTTP/1.0 %d X\r\n" % status
    for h in headers:
        head += h + "\r\n"
    if length:
        head += "Content-Length: %d\r\n" % len(body)
    conn.sendall(head.encode() + b"\r\n" + body)


def wait_for_close(conn, seconds):
    conn.settimeout(seconds)
    try:
        while conn.recv(4096):
            pass
    except OSError:
        pass


def tunnel(conn, port):
    upstream = socket.create_connection(("127.0.0.1", port))
    conn.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")

    def pump(a, b):
        try:
            while True:
                data = a.recv(65536)
                if not data:
                    break
                b.sendall(data)
        except OSError:
            pass
        for s in (a, b):
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    t = threading.Thread(target=pump, args=(upstream, conn), daemon=True)
    t.start()
    pump(conn, upstream)
    t.join(30)


def route(conn, path, query):
    q = {k: v[0] for k, v in urllib.parse.parse_qs(query).items()}
    if path == "/ok":
        answer(conn, 200, b"hello world")
    elif path.startswith("/files/") or path == "/product/update.ini":
        name = os.path.basename(path)
        try:
            with open(os.path.join(ARGS.files, name), "rb") as f:
                answer(conn, 200, f.read())
        except OSError:
            answer(conn, 404, b"missing")
    elif path == "/nolength":
        answer(conn, 200, b"no declared length", length=False)
    elif path == "/exact":
        answer(conn, 200, b"a" * int(q.get("n", "0")), length=False)
    elif path == "/huge-declared":
        conn.sendall(b"HTTP/1.0 200 X\r\nContent-Length: %d\r\n\r\n" % (LIMIT + 1) + b"a" * 1000)
        wait_for_close(conn, 10)
    elif path == "/endless":
        conn.sendall(b"HTTP/1.0 200 X\r\n\r\n")
        chunk = b"e" * 65536
        for _ in range(800):  # 50 MB at most
            conn.sendall(chunk)
    elif path == "/redirect":
        answer(conn, int(q.get("code", "302")), b"", ["Location: " + q.get("to", "")])
    elif path == "/loop":
        answer(conn, 302, b"", ["Location: /loop"])
    elif path == "/status":
        answer(conn, int(q.get("code", "500")), b"status body")
    elif path == "/flaky":
        key = q.get("id", "")
        with LOG_LOCK:
            COUNTS[key] = COUNTS.get(key, 0) + 1
            n = COUNTS[key]
        if n <= int(q.get("fail", "1")):
            answer(conn, int(q.get("code", "404")), b"not yet")
        else:
            answer(conn, 200, b"recovered")
    elif path == "/empty":
        answer(conn, 200, b"")
    elif path == "/silent":
        wait_for_close(conn, 30)
    elif path == "/drip":
        conn.sendall(b"HTTP/1.0 200 X\r\n\r\n")
        for _ in range(int(q.get("n", "10"))):
            time.sleep(int(q.get("ms", "50")) / 1000)
            conn.sendall(b"d")
    elif path == "/cut":
        conn.sendall(b"HTTP/1.0 200 X\r\nContent-Length: 100\r\n\r\n" + b"c" * 10)
    elif path == "/garbage":
        conn.sendall(b"\x00\x01\x02 this is no HTTP at all\r\n\r\n")
    else:
        answer(conn, 404, b"unknown case")


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        conn = self.request
        conn.settimeout(30)
        try:
            if isinstance(conn, ssl.SSLSocket):
                conn.do_handshake()
            reader = conn.makefile("rb")
            line = reader.readline(65536).decode("latin-1").strip()
            while reader.readline(65536) not in (b"\r\n", b"\n", b""):
                pass
            words = line.split(" ")
            if len(words) != 3:
                return
            method, target, version = words
            log("%s %s %s%s" % (version, method, target, " tls" if isinstance(conn, ssl.SSLSocket) else ""))
            if method == "CONNECT":
                tunnel(conn, self.server.tunnel_port)
                return
            url = urllib.parse.urlsplit(target)
            route(conn, url.path, url.query)
        except (OSError, ssl.SSLError, ValueError):
            pass


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    tunnel_port = 0


def serve(cert=None, key=None):
    server = Server(("127.0.0.1", 0), Handler)
    if cert:
        ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        ctx.load_cert_chain(cert, key)
        server.socket = ctx.wrap_socket(server.socket, server_side=True, do_handshake_on_connect=False)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def main():
    global ARGS
    p = argparse.ArgumentParser()
    p.add_argument("--log", required=True)
    p.add_argument("--files", required=True)
    p.add_argument("--certs", required=True, help="folder made by make-test-ca.sh")
    p.add_argument("--lifetime", type=int, default=300)
    p.add_argument("--watch-stdin", action="store_true")
    p.add_argument("--port-file", help="also write the ports here, renamed into place")
    ARGS = p.parse_args()
    c = ARGS.certs
    tls = serve(os.path.join(c, "server.pem"), os.path.join(c, "server.key"))
    rogue = serve(os.path.join(c, "rogue.pem"), os.path.join(c, "rogue.key"))
    plain = serve()
    plain.tunnel_port = tls.server_address[1]
    ports = "%d %d %d" % (plain.server_address[1], tls.server_address[1], rogue.server_address[1])
    print(ports, flush=True)
    if ARGS.port_file:
        with open(ARGS.port_file + ".tmp", "w") as f:
            f.write(ports + "\n")
        os.rename(ARGS.port_file + ".tmp", ARGS.port_file)
    if ARGS.watch_stdin:
        threading.Thread(target=lambda: (sys.stdin.read(), os._exit(0)), daemon=True).start()
    time.sleep(ARGS.lifetime)
    os._exit(0)


if __name__ == "__main__":
    main()
