#!/usr/bin/env python3
"""The webhook tests' servers, around one test program:

    webhook_server.py WORKDIR COMMAND [ARGS...]

Makes a test CA and certificates with openssl in WORKDIR, starts on
127.0.0.1 a plain HTTP server, an HTTPS server with a certificate from the
test CA and one with a self-signed certificate, runs COMMAND with their
ports in the environment, stops the servers and exits with COMMAND's code.

Refuses to run outside the private test network (tools/netns-run).

Environment given to COMMAND:
  ORVANTA_WEBHOOK_HTTP      port of the plain server
  ORVANTA_WEBHOOK_HTTPS     port of the server with the test CA's certificate
  ORVANTA_WEBHOOK_SELF      port of the server with a self-signed certificate
  ORVANTA_WEBHOOK_SELF_PIN  SHA-256 of that certificate (DER), hex
  ORVANTA_WEBHOOK_CA        the test CA's certificate (PEM file)
  ORVANTA_WEBHOOK_CA_DER    the same, DER
  SSL_CERT_FILE             the test CA, added by OpenSSL programs to the
                            system's store

What the servers answer depends on the path:
  /ok/...                  200
  /status/CODE/...         CODE, with a 300-byte body over two lines
  /fail/N/...              500 for the first N requests to that path, then 200
  /hang/N/...              nothing for 20 s to the first N requests to that
                           path (the client's timeout ends them), then 200
  /control/count?prefix=P  how many requests came to paths starting with P
  /control/requests?prefix=P&index=I   the I-th of them, as a record
  /control/ids?prefix=P&from=I         the JSON ids of up to 100 of them
  /control/listen?port=N   starts an HTTPS server (test CA) on port N
  /control/free-port       a port nothing listens on (for a server that is
                           "down" until /control/listen opens it)
Every other request is recorded first and answered 200.
"""

import hashlib
import json
import os
import socket
import ssl
import subprocess
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

lock = threading.Lock()
requests = []  # (path, record text), in the order they came
fail_counts = {}
servers = []


def in_private_network():
    here = os.path.dirname(os.path.abspath(__file__))
    tool = os.path.join(here, "..", "..", "tools", "in-private-net")
    return subprocess.call([tool]) == 0


def record(handler, body):
    lines = ["REQUEST %s %s" % (handler.command, handler.path)]
    for name in ("content-type", "authorization", "x-kasa", "user-agent"):
        value = handler.headers.get(name)
        if value is not None:
            lines.append("HEADER %s: %s" % (name, value))
    text = body.decode("utf-8", errors="replace")
    lines.append("BODY " + text.replace("\r", "\\r").replace("\n", "\\n"))
    try:
        parsed = json.loads(body.decode("utf-8")) if body else None
    except (UnicodeDecodeError, ValueError):
        parsed = None
        lines.append("JSON invalid")
    call_id = ""
    if isinstance(parsed, dict):
        for key, value in parsed.items():
            lines.append("FIELD %s=%s" % (key, json.dumps(value, ensure_ascii=False)))
        call_id = str(parsed.get("id", ""))
    lines.append("END")
    with lock:
        requests.append((handler.path, "\n".join(lines) + "\n", call_id))


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    # Connections are kept open between requests: the header and the body
    # are written apart, and Nagle's algorithm would hold the body back for
    # the client's delayed acknowledgement.
    disable_nagle_algorithm = True

    def log_message(self, *args):
        pass

    def answer(self, code, body=b"ok"):
        self.send_response(code)
        self.send_header("Content-Type", "text/plain; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def handle_any(self):
        length = int(self.headers.get("Content-Length", "0") or "0")
        body = self.rfile.read(length) if length else b""
        url = urllib.parse.urlsplit(self.path)
        parts = url.path.strip("/").split("/")
        if parts[0] == "control":
            query = urllib.parse.parse_qs(url.query)
            prefix = query.get("prefix", [""])[0]
            with lock:
                under = [r for p, r, i in requests if p.startswith(prefix)]
                ids = [i for p, r, i in requests if p.startswith(prefix)]
            if parts[1] == "count":
                return self.answer(200, str(len(under)).encode())
            if parts[1] == "requests":
                index = int(query.get("index", ["0"])[0])
                text = under[index] if index < len(under) else ""
                return self.answer(200, text.encode("utf-8"))
            if parts[1] == "ids":
                start = int(query.get("from", ["0"])[0])
                return self.answer(200, ",".join(ids[start:start + 100]).encode())
            if parts[1] == "listen":
                start_server(int(query["port"][0]), tls_context("server"))
                return self.answer(200)
            if parts[1] == "free-port":
                return self.answer(200, str(free_port()).encode())
            return self.answer(404)
        record(self, body)
        if parts[0] == "status":
            code = int(parts[1])
            return self.answer(code, ("hata: " + "x" * 140 + "\nikinci satır " + "y" * 150).encode())
        if parts[0] in ("fail", "hang"):
            with lock:
                seen = fail_counts.get(url.path, 0)
                fail_counts[url.path] = seen + 1
            if seen < int(parts[1]):
                if parts[0] == "hang":
                    time.sleep(20)
                return self.answer(500, b"dusuk")
            return self.answer(200)
        return self.answer(200)

    do_GET = handle_any
    do_POST = handle_any


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_server(port, context):
    server = ThreadingHTTPServer(("127.0.0.1", port), Handler)
    server.daemon_threads = True
    if context is not None:
        server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    with lock:
        servers.append(server)
    return server.server_address[1]


workdir = None


def tls_context(name):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(workdir, name + ".pem"),
                            os.path.join(workdir, name + ".key"))
    return context


def openssl(*args):
    subprocess.run(["openssl"] + list(args), check=True, cwd=workdir,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_certificates():
    os.makedirs(workdir, exist_ok=True)
    with open(os.path.join(workdir, "san.cnf"), "w") as f:
        f.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n"
                "basicConstraints=CA:FALSE\n"
                "extendedKeyUsage=serverAuth\n")
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
            "-subj", "/CN=Orvanta test CA", "-keyout", "ca.key", "-out", "ca.pem",
            "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    openssl("x509", "-in", "ca.pem", "-outform", "DER", "-out", "ca.der")
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1",
            "-keyout", "server.key", "-out", "server.csr")
    openssl("x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
            "-CAcreateserial", "-days", "2", "-extfile", "san.cnf", "-out", "server.pem")
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
            "-subj", "/CN=self-hosted", "-keyout", "self.key", "-out", "self.pem",
            "-addext", "subjectAltName=IP:127.0.0.1")
    openssl("x509", "-in", "self.pem", "-outform", "DER", "-out", "self.der")
    with open(os.path.join(workdir, "self.der"), "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def main():
    global workdir
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    if not in_private_network():
        print("webhook_server.py: REFUSING TO RUN outside the private test network",
              file=sys.stderr)
        return 2
    workdir = os.path.abspath(sys.argv[1])
    pin = make_certificates()
    env = dict(os.environ)
    env["ORVANTA_WEBHOOK_HTTP"] = str(start_server(0, None))
    env["ORVANTA_WEBHOOK_HTTPS"] = str(start_server(0, tls_context("server")))
    env["ORVANTA_WEBHOOK_SELF"] = str(start_server(0, tls_context("self")))
    env["ORVANTA_WEBHOOK_SELF_PIN"] = pin
    env["ORVANTA_WEBHOOK_CA"] = os.path.join(workdir, "ca.pem")
    env["ORVANTA_WEBHOOK_CA_DER"] = os.path.join(workdir, "ca.der")
    env["SSL_CERT_FILE"] = os.path.join(workdir, "ca.pem")
    code = subprocess.call(sys.argv[2:], env=env)
    for server in servers:
        server.shutdown()
    return code


if __name__ == "__main__":
    sys.exit(main())
