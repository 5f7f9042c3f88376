#!/usr/bin/env python3
"""A CalDAV server that tries to lure a client away: two ports on 127.0.0.1, the first asking
for a login and sending the client on to the second in every way it can, trickling or never
ending its answers. Every request is logged as a JSON line (port, method, path, whether it
carried Authorization) to the file named by the first argument. Prints both ports, then serves
until killed."""

import json
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

LOG = open(sys.argv[1], "a", encoding="utf-8")
LOCK = threading.Lock()
PORTS = {}


def multistatus(*responses):
    return ('<?xml version="1.0" encoding="utf-8"?>\n'
            '<d:multistatus xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav">'
            + "".join(responses) + "</d:multistatus>").encode()


def response(href, props):
    return ("<d:response><d:href>%s</d:href><d:propstat><d:prop>%s</d:prop>"
            "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>" % (href, props))


CALENDAR = ("<d:resourcetype><d:collection/><c:calendar/></d:resourcetype>"
            "<d:sync-token>t1</d:sync-token>")


def principal(href):
    return "<d:current-user-principal><d:href>%s</d:href></d:current-user-principal>" % href


def home(href):
    return "<c:calendar-home-set><d:href>%s</d:href></c:calendar-home-set>" % href


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def second(self):
        return "http://127.0.0.1:%d" % PORTS["second"]

    def answer(self, status, body=b"", headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_any(self):
        port = "first" if self.server.server_port == PORTS["first"] else "second"
        with LOCK:
            LOG.write(json.dumps({"port": port, "method": self.command, "path": self.path,
                                  "auth": "Authorization" in self.headers}) + "\n")
            LOG.flush()
        length = int(self.headers.get("Content-Length") or 0)
        if length:
            self.rfile.read(length)
        if port == "second":
            return self.answer(207, multistatus(response(self.path, CALENDAR)))
        if "Authorization" not in self.headers:
            return self.answer(401, headers=[("WWW-Authenticate", 'Basic realm="hostile"')])
        case, _, rest = self.path.strip("/").partition("/")
        getattr(self, "case_" + case.replace("-", "_"), self.not_found)(rest)

    do_PROPFIND = do_REPORT = do_GET = do_PUT = do_DELETE = do_OPTIONS = do_any

    def not_found(self, rest):
        self.answer(404)

    def case_redirect(self, rest):
        self.answer(301, headers=[("Location", self.second() + "/calendar/")])

    def case_redirect_scheme(self, rest):
        self.answer(301, headers=[("Location", "file:///etc/passwd")])

    def case_principal(self, rest):
        self.answer(207, multistatus(response(self.path, principal(self.second() + "/p/"))))

    def case_home(self, rest):
        props = home(self.second() + "/calendars/") if rest else principal("/home/user/")
        self.answer(207, multistatus(response(self.path, props)))

    def case_calendar(self, rest):
        if rest == "calendars":
            listed = response(self.second() + "/cal/", CALENDAR)
            return self.answer(207, multistatus(response(self.path, "<d:resourcetype/>"), listed))
        props = home("/calendar/calendars/") if rest else principal("/calendar/user/")
        self.answer(207, multistatus(response(self.path, props)))

    def case_event(self, rest):
        if self.headers.get("Depth") == "1":
            event = response(self.second() + "/event.ics",
                             "<d:getetag>\"1\"</d:getetag><d:resourcetype/>")
            return self.answer(207, multistatus(response(self.path, CALENDAR), event))
        self.answer(207, multistatus(response(self.path, CALENDAR)))

    def case_scheme(self, rest):
        href = "ftp://127.0.0.1:%d/p/" % PORTS["second"]
        self.answer(207, multistatus(response(self.path, principal(href))))

    def case_control(self, rest):
        self.answer(207, multistatus(response(self.path, principal("/control/a&#9;b/"))))

    def case_long(self, rest):
        self.answer(207, multistatus(response(self.path, principal("/" + "x" * 3000))))

    def case_trickle(self, rest):
        self.send_response(207)
        self.send_header("Content-Length", "1000000")
        self.end_headers()
        try:
            while True:
                self.wfile.write(b" ")
                self.wfile.flush()
                time.sleep(0.9)
        except OSError:
            pass

    def case_endless(self, rest):
        self.send_response(207)
        self.send_header("Connection", "close")
        self.end_headers()
        chunk = response("/endless/x.ics", "<d:getetag>\"1\"</d:getetag>").encode() * 8192
        try:
            self.wfile.write(multistatus()[:-len("</d:multistatus>")])
            while True:
                self.wfile.write(chunk)
        except OSError:
            pass
        self.close_connection = True


def serve(name):
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    PORTS[name] = server.server_port
    threading.Thread(target=server.serve_forever, daemon=True).start()


serve("first")
serve("second")
print(PORTS["first"], PORTS["second"], flush=True)
threading.Event().wait()
