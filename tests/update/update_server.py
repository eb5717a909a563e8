#!/usr/bin/env python3
"""A small HTTP server for the update check's tests, on 127.0.0.1 only.

Usage: update_server.py FOLDER [CERTIFICATE KEY]

With a certificate and its key (PEM files) it speaks https: each connection's TLS handshake
runs in its own thread, so a client that refuses the certificate only ends its own connection.

Prints the port it listens on as one line, then serves each request's path from FOLDER: the
file "<name>.http" holds the whole response (status line, header and body) and is sent as it
is, then the connection is closed. A file starting with SILENT is never answered (the
connection stays open until the client closes it); one starting with ENDLESS sends a 200 header
and then body bytes until the client closes; "DRIP <ms>" sends a header that never ends, one
byte every <ms> milliseconds, until the client closes. Every request's bytes are written to
FOLDER/last_request.bin before the answer. The server ends itself after a while, so a test that
dies cannot leave it behind.
"""
import os
import re
import socketserver
import ssl
import sys
import threading
import time

LIFETIME = 120  # seconds
FOLDER = sys.argv[1]
TLS = None
if len(sys.argv) >= 4:
    TLS = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    TLS.load_cert_chain(sys.argv[2], sys.argv[3])


def store_request(data):
    temp = os.path.join(FOLDER, "last_request.tmp")
    with open(temp, "wb") as out:
        out.write(data)
    os.replace(temp, os.path.join(FOLDER, "last_request.bin"))


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        sock = self.request
        sock.settimeout(10)
        if TLS is not None:
            try:
                sock = TLS.wrap_socket(sock, server_side=True)
            except (OSError, ssl.SSLError):
                return  # the client refused the certificate, or spoke no TLS
        data = b""
        try:
            while b"\r\n\r\n" not in data and len(data) < 16384:
                chunk = sock.recv(4096)
                if not chunk:
                    break
                data += chunk
        except OSError:
            return
        store_request(data)
        match = re.match(rb"GET /([A-Za-z0-9_.-]*)", data)
        name = match.group(1).decode() if match else ""
        path = os.path.join(FOLDER, name + ".http")
        if not name or not os.path.isfile(path):
            sock.sendall(b"HTTP/1.0 404 Not Found\r\n\r\nnot found")
            return
        with open(path, "rb") as source:
            response = source.read()
        if response.startswith(b"SILENT"):
            sock.settimeout(LIFETIME)
            try:
                while sock.recv(4096):
                    pass
            except OSError:
                pass
            return
        if response.startswith(b"DRIP"):
            interval = int(response.split()[1]) / 1000.0
            try:
                sock.sendall(b"HTTP/1.0 200 OK\r\nX-Drip: ")
                while True:
                    time.sleep(interval)
                    sock.sendall(b"x")
            except OSError:
                pass
            return
        if response.startswith(b"ENDLESS"):
            try:
                sock.sendall(b"HTTP/1.0 200 OK\r\n\r\n")
                while True:
                    sock.sendall(b"x" * 4096)
            except OSError:
                pass
            return
        try:
            sock.sendall(response)
        except OSError:
            pass


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    server = Server(("127.0.0.1", 0), Handler)
    print(server.server_address[1], flush=True)
    threading.Timer(LIFETIME, lambda: os._exit(0)).start()
    server.serve_forever()


if __name__ == "__main__":
    main()
