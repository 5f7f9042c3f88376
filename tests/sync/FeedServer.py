#!/usr/bin/env python3
"""A web server of calendars for the subscription tests: two ports on 127.0.0.1 serving the
files of a directory. A file's ETag is the hash of its bytes, and a request naming it is
answered 304. /moved sends the request on to the second port, /loop to itself, /insecure to an
ftp address; /endless never ends its answer. Every request is logged as "port path status" to <directory>/log, and the ports are
written to <directory>/ports once both listen."""

import hashlib
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

ROOT = sys.argv[1]
PORTS = []
LOCK = threading.Lock()


class Handler(BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def answer(self, status, body=b"", headers=()):
        with LOCK, open(os.path.join(ROOT, "log"), "a") as log:
            log.write("%d %s %d\n" % (self.server.server_port, self.path, status))
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        if self.path == "/moved":
            return self.answer(302, headers=[("Location", "http://127.0.0.1:%d/feed.ics" % PORTS[1])])
        if self.path == "/loop":
            return self.answer(302, headers=[("Location", "/loop")])
        if self.path == "/insecure":
            return self.answer(302, headers=[("Location", "ftp://127.0.0.1/feed.ics")])
        if self.path == "/endless":
            with LOCK, open(os.path.join(ROOT, "log"), "a") as log:
                log.write("%d %s 200\n" % (self.server.server_port, self.path))
            self.send_response(200)
            self.end_headers()
            self.wfile.write(b"BEGIN:VCALENDAR\r\n")
            try:
                while True:
                    self.wfile.write(b"X")
                    self.wfile.flush()
                    time.sleep(0.5)
            except OSError:
                return
        path = os.path.join(ROOT, self.path.lstrip("/"))
        if "/" in self.path.lstrip("/") or not os.path.isfile(path):
            return self.answer(404)
        with open(path, "rb") as f:
            body = f.read()
        etag = '"%s"' % hashlib.sha1(body).hexdigest()
        if self.headers.get("If-None-Match") == etag:
            return self.answer(304, headers=[("ETag", etag)])
        self.answer(200, body, [("ETag", etag), ("Content-Type", "text/calendar")])


servers = [ThreadingHTTPServer(("127.0.0.1", 0), Handler) for _ in range(2)]
PORTS.extend(s.server_port for s in servers)
for s in servers:
    s.daemon_threads = True
    threading.Thread(target=s.serve_forever, daemon=True).start()
with open(os.path.join(ROOT, "ports.new"), "w") as f:
    f.write("%d %d\n" % tuple(PORTS))
os.rename(os.path.join(ROOT, "ports.new"), os.path.join(ROOT, "ports"))
threading.Event().wait()
