#!/usr/bin/python3
"""HTTP, HTTPS and proxy servers on 127.0.0.1 for the verification tests.

Usage: http_test_server.py WORKDIR
Prints one JSON line with the ports, then serves until killed (or until its standard input
closes). Certificates are made in WORKDIR with the openssl command.
"""
import base64
import json
import os
import socketserver
import ssl
import subprocess
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

AGENT = "Mozilla/4.0 (Compatible)"
ACCEPT = "text/html, */*"


def openssl(*args, cwd):
    subprocess.run(["openssl", *args], cwd=cwd, check=True, capture_output=True)


def make_certificates(d):
    """A trusted CA with a wrong-host and an expired server certificate, and an untrusted CA."""
    for ca in ("ca", "otherca"):
        openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", f"{ca}.key",
                "-out", f"{ca}.pem", "-days", "30", "-subj", f"/CN=Test {ca}", cwd=d)
    os.makedirs(os.path.join(d, "db"), exist_ok=True)
    open(os.path.join(d, "db", "index.txt"), "w").close()
    with open(os.path.join(d, "db", "serial"), "w") as f:
        f.write("1000\n")
    with open(os.path.join(d, "ca.cnf"), "w") as f:
        f.write("""[ca]
default_ca = test
[test]
dir = ./db
database = $dir/index.txt
serial = $dir/serial
new_certs_dir = ./db
default_md = sha256
policy = any
copy_extensions = copy
unique_subject = no
[any]
commonName = supplied
""")
    def server_cert(name, cn, ca, dates):
        openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", f"{name}.key", "-out",
                f"{name}.csr", "-subj", f"/CN={cn}", "-addext", f"subjectAltName=DNS:{cn}", cwd=d)
        openssl("ca", "-batch", "-config", "ca.cnf", "-cert", f"{ca}.pem", "-keyfile",
                f"{ca}.key", "-in", f"{name}.csr", "-out", f"{name}.pem", *dates, cwd=d)
    server_cert("wronghost", "wrong.example", "ca", ["-days", "10"])
    server_cert("expired", "127.0.0.1", "ca",
                ["-startdate", "20200101000000Z", "-enddate", "20200201000000Z"])
    server_cert("unknown", "127.0.0.1", "otherca", ["-days", "10"])


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def reply(self, status, headers=(), body=b""):
        self.send_response(status)
        for k, v in headers:
            self.send_header(k, v)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD" and body:
            self.wfile.write(body)

    def route(self):
        path, _, query = self.path.partition("?")
        head = self.command == "HEAD"
        if path == "/ok":
            return self.reply(200, body=b"ok")
        if path == "/head405":
            return self.reply(405 if head else 200)
        if path == "/notfound":
            return self.reply(404)
        if path == "/teapot":
            return self.reply(418)
        if path == "/redirect":
            target = query.partition("=")[2]
            return self.reply(302, [("Location", target)])
        if path == "/loop":
            return self.reply(302, [("Location", "/loop")])
        if path == "/query":
            return self.reply(200 if query == "a=1&b=2" else 404)
        if path == "/strict":
            good = (self.request_version == "HTTP/1.0" and self.headers.get("User-Agent") == AGENT
                    and self.headers.get("Accept") == ACCEPT)
            return self.reply(200 if good else 400)
        if urllib.parse.unquote(path) == "/caf\u00e9 x" and "%20" in path:
            return self.reply(200)
        if path == "/slow":
            time.sleep(int(query.partition("=")[2] or "100") / 1000.0)
            return self.reply(200)
        if path == "/hang":
            time.sleep(60)
            return
        if path == "/big":
            if head:
                return self.reply(405)
            self.send_response(200)
            self.send_header("Content-Length", str(1 << 30))
            self.end_headers()
            chunk = b"x" * 65536
            try:
                for _ in range(1 << 14):
                    self.wfile.write(chunk)
            except OSError:
                pass
            return
        if path == "/status":
            return self.reply(int(query.partition("=")[2]))
        if path == "/bigredirect":
            # A redirect on a kept-alive connection with a body that would take for ever to read.
            self.wfile.write(b"HTTP/1.1 301 Moved\r\nLocation: /ok\r\nConnection: keep-alive\r\n"
                             b"Content-Length: 10737418240\r\n\r\n")
            try:
                for _ in range(1 << 20):
                    self.wfile.write(b"x" * 65536)
                    time.sleep(0.01)
            except OSError:
                pass
            self.close_connection = True
            return
        if path == "/longstatus":
            self.wfile.write(b"HTTP/1.0 200 " + b"x" * (1 << 20) + b"\r\n\r\n")
            return
        if path == "/drip":
            # Headers a byte at a time, never ending.
            try:
                self.wfile.write(b"HTTP/1.0 200 OK\r\nX-Drip: ")
                for _ in range(100000):
                    self.wfile.write(b"d")
                    self.wfile.flush()
                    time.sleep(0.05)
            except OSError:
                pass
            return
        if path.startswith("/bench/"):
            time.sleep(0.02)
            n = int(path.rsplit("/", 1)[1]) % 20
            if n < 16:
                return self.reply(200)
            if n < 18:
                return self.reply(404)
            if n == 18:
                return self.reply(301, [("Location", "/bench-target")])
            return self.reply(405 if head else 200)
        if path == "/bench-target":
            time.sleep(0.02)
            return self.reply(200)
        return self.reply(404)

    def do_HEAD(self):
        self.route()

    def do_GET(self):
        self.route()


class ProxyHandler(BaseHTTPRequestHandler):
    """Answers for the origin when the request is in proxy form with the right credentials."""
    protocol_version = "HTTP/1.0"
    expected = "Basic " + base64.b64encode(b"proxyuser:proxy pass").decode()

    def log_message(self, *args):
        pass

    def answer(self):
        if self.headers.get("Proxy-Authorization") != self.expected:
            self.send_response(407)
            self.send_header("Proxy-Authenticate", 'Basic realm="test"')
        elif not self.path.startswith("http://through.proxy.invalid/"):
            self.send_response(400)
        else:
            self.send_response(200)
        self.send_header("Content-Length", "0")
        self.end_headers()

    do_HEAD = answer
    do_GET = answer


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def serve(server):
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


def main():
    workdir = sys.argv[1]
    make_certificates(workdir)
    ports = {"http": serve(Server(("127.0.0.1", 0), Handler)),
             "proxy": serve(Server(("127.0.0.1", 0), ProxyHandler))}
    for name in ("wronghost", "expired", "unknown"):
        server = Server(("127.0.0.1", 0), Handler)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(os.path.join(workdir, f"{name}.pem"),
                                os.path.join(workdir, f"{name}.key"))
        server.socket = context.wrap_socket(server.socket, server_side=True)
        ports[name] = serve(server)
    # A listener that accepts connections and never answers.
    silent = socketserver.TCPServer(("127.0.0.1", 0), socketserver.BaseRequestHandler)
    ports["silent"] = silent.server_address[1]
    ports["ca"] = os.path.join(workdir, "ca.pem")
    print(json.dumps(ports), flush=True)
    sys.stdin.read()  # ends when the test closes the pipe or dies


if __name__ == "__main__":
    main()
