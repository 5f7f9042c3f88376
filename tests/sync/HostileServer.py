#!/usr/bin/env python3
"""A CalDAV server that tries to lure a client away: two ports on 127.0.0.1, the first asking
for a login and sending the client on to the second in every way it can, trickling, slowing or
never ending its answers; its calendar /names/ holds events whose names need percent-encoding and
tells its changes in parts. Every request is logged as a JSON line (port, method, path, whether
it carried Authorization, its Depth, the hrefs and sync token of a report) to the file named by the first
argument. Prints both ports, then serves until killed."""

import datetime
import html
import json
import re
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


def event(summary):
    day = datetime.date.today().strftime("%Y%m%d")
    return ("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//tests//hostile//EN\r\n"
            "BEGIN:VEVENT\r\nUID:%s@hostile\r\nDTSTAMP:20240101T000000Z\r\n"
            "DTSTART:%sT100000\r\nDTEND:%sT110000\r\nSUMMARY:%s\r\nEND:VEVENT\r\n"
            "END:VCALENDAR\r\n" % (summary, day, day, summary))


class Names:
    """The calendar /names/: events by the path a request names them with, each listed under
    the href it was given (one with a raw space), each change numbered; the sync token n<k>
    stands for the changes up to k, and a sync-collection report tells one change per part."""

    FIRST = [("/names/semi%3Bcolon.ics", "Semicolon"), ("/names/sl%252Fash.ics", "Slash"),
             ("/names/with%20space.ics", "Space"), ("/names/raw space.ics", "RawSpace")]
    MORE = [("/names/part%3Bone.ics", "PartOne"), ("/names/part%3Btwo.ics", "PartTwo")]

    def __init__(self):
        self.events = {}
        self.endless = False
        for href, summary in self.FIRST:
            self.add(href, summary)

    def add(self, href, summary):
        self.events[href.replace(" ", "%20")] = (href, len(self.events) + 1, event(summary))

    def token(self):
        return "n%d" % len(self.events)

    def changes(self, since):
        """The changes after token since, as far as one part goes, and the token of the part."""
        if not re.fullmatch(r"n\d+", since or "") or int(since[1:]) > len(self.events):
            return None
        if self.endless:
            return [], since, True
        newer = sorted((e for e in self.events.values() if e[1] > int(since[1:])),
                       key=lambda e: e[1])
        if len(newer) > 1:
            return newer[:1], "n%d" % newer[0][1], True
        return newer, self.token(), False


NAMES = Names()


def etag(entry):
    return '<d:getetag>"%d"</d:getetag>' % entry[1]


def named(body, element):
    return [html.unescape(m) for m in re.findall(r"<d:%s>(.*?)</d:%s>" % (element, element),
                                                 body)]


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
        length = int(self.headers.get("Content-Length") or 0)
        self.body = self.rfile.read(length).decode("utf-8", "replace") if length else ""
        with LOCK:
            LOG.write(json.dumps({"port": port, "method": self.command, "path": self.path,
                                  "auth": "Authorization" in self.headers,
                                  "depth": self.headers.get("Depth"),
                                  "hrefs": named(self.body, "href"),
                                  "token": named(self.body, "sync-token")}) + "\n")
            LOG.flush()
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

    def case_names(self, rest):
        global NAMES
        if rest in ("reset", "endless"):
            NAMES = Names()
            NAMES.endless = rest == "endless"
            return self.answer(204)
        if rest == "more":
            for href, summary in Names.MORE:
                NAMES.add(href, summary)
            return self.answer(204)
        if rest or self.command not in ("PROPFIND", "REPORT"):
            return self.answer(405)
        listed = [response(e[0], etag(e) + "<d:resourcetype/>") for e in NAMES.events.values()]
        state = CALENDAR.replace("t1", NAMES.token())
        if self.command == "PROPFIND":
            depth = self.headers.get("Depth") == "1"
            return self.answer(207, multistatus(response(self.path, state),
                                                *(listed if depth else [])))
        if "calendar-multiget" in self.body:
            asked = [NAMES.events.get(h) for h in named(self.body, "href")]
            return self.answer(207, multistatus(*(
                response(e[0], etag(e) + "<c:calendar-data>%s</c:calendar-data>"
                         % html.escape(e[2])) for e in asked if e)))
        part = NAMES.changes(named(self.body, "sync-token")[0])
        if part is None:
            return self.answer(403)
        entries, token, truncated = part
        cut = ["<d:response><d:href>/names/</d:href>"
                "<d:status>HTTP/1.1 507 Insufficient Storage</d:status></d:response>"]
        self.answer(207, multistatus(*[response(e[0], etag(e)) for e in entries],
                                     *(cut if truncated else []),
                                     "<d:sync-token>%s</d:sync-token>" % token))

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

    def case_slow(self, rest):
        """An empty calendar whose every answer trickles in for a few seconds: each one within
        the limits of a request, the sync as a whole going on and on."""
        body = multistatus(response(self.path, CALENDAR))
        self.send_response(207)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        step = len(body) // 8 + 1
        try:
            for at in range(0, len(body), step):
                self.wfile.write(body[at:at + step])
                self.wfile.flush()
                time.sleep(0.4)
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
