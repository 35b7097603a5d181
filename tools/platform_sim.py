#!/usr/bin/env python3
"""A local stand-in for the platform's web services, for tests and benchmarks.

    python3 tools/platform_sim.py --port N [--requests FILE] [--heartbeat-answer X]

Serves on 127.0.0.1:N and prints "listening on 127.0.0.1:N" once ready. Every request is
recorded (method, raw request-line target, headers in order) as one JSON object per line in
FILE; usage reports are also printed as one readable line each, with their signature checked.

Endpoints:
  /receive/micoclient?log=LINE|SIGNATURE   usage report, answers "1"
  /?m=game&c=heartbeat&...                 heartbeat, answers the heartbeat answer ("1")
  /?g=dr                                   top-up page
  /game/s/wdAccess/  /game/s/jihuo/  /kefu/   pages from tools/sim_pages/
  /t/...                                   fixed answers for the HTTP client's tests
  /t/stall?s=N                             answers after N seconds
  /__sim/requests                          the recorded requests (without /__sim/ ones) as JSON
  /__sim/last                              the last one's request line and headers, as text
  /__sim/count                             how many were recorded
  /__sim/reports                           one line per usage report: "valid|LINE" or "INVALID|LINE"
  /__sim/heartbeat?answer=X                changes the heartbeat answer
  /__sim/reset                             forgets the recorded requests
"""

import argparse
import hashlib
import json
import os
import signal
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

SIGNING_KEY = b"Hn4vRb8Ye2Wu"
REPORT_PATH = "/receive/micoclient"
PAGES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sim_pages")

# Fixed answers for the HTTP client's tests: status, content type, body.
TEST_ANSWERS = {
    "/t/utf8": (200, "text/plain; charset=utf-8", "中文测试：北京欢迎你 ok".encode("utf-8")),
    "/t/1024": (200, "text/plain", bytes(ord("a") + i % 26 for i in range(1024))),
    "/t/3000": (200, "text/plain", bytes(ord("A") + i % 26 for i in range(3000))),
    "/t/404": (404, "text/html", b"<html><body>404 Not Found: no such page</body></html>"),
    # A zero byte inside the first 1024-byte chunk; the second chunk is plain text.
    "/t/zero": (200, "application/octet-stream", b"head" + b"\0" + b"x" * 1019 + b"tail"),
    "/t/gbk": (200, "text/plain; charset=gbk", "中文".encode("gbk")),
    "/t/empty": (200, "text/plain", b""),
}


def parse_report(target):
    """The usage report carried by a request target, or None when it carries none."""
    path, _, query = target.partition("?")
    if path != REPORT_PATH or not query.startswith("log="):
        return None
    # http.server decodes the request line as ISO-8859-1: this gives back the bytes sent.
    raw = query[len("log="):].encode("latin-1")
    percent_encoded = b"%" in raw
    if percent_encoded:
        raw = urllib.parse.unquote_to_bytes(raw)
    line, bar, signature = raw.rpartition(b"|")
    if not bar:
        return {"valid": False, "error": "no signature", "percent_encoded": percent_encoded}
    fields = line.split(b"|")
    expected = hashlib.md5(line + SIGNING_KEY).hexdigest()
    text = [f.decode("gbk", errors="replace") for f in fields]
    report = {
        "line": line.decode("gbk", errors="replace"),
        "fields": text,
        "signature": signature.decode("latin-1"),
        "valid": signature == expected.encode("ascii"),
        "percent_encoded": percent_encoded,
    }
    if len(text) == 10:
        report.update(game=text[0], user=text[1], event=text[2], machine=text[8], time=text[9])
    return report


class Simulator:
    def __init__(self, requests_file, heartbeat_answer):
        self.lock = threading.Lock()
        self.records = []
        self.heartbeat_answer = heartbeat_answer
        self.out = open(requests_file, "a", encoding="utf-8") if requests_file else None

    def record(self, entry, control):
        """Every request goes to the file; the control requests stay out of the list served."""
        with self.lock:
            if control:
                entry = dict(entry, control=True)
            else:
                self.records.append(entry)
            if self.out:
                self.out.write(json.dumps(entry, ensure_ascii=False) + "\n")
                self.out.flush()


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "PlatformSim/1.0"

    def log_message(self, format, *args):  # the request log is the JSON file
        pass

    def do_GET(self):
        self.handle_request()

    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        if length:
            self.rfile.read(length)
        self.handle_request()

    def handle_request(self):
        sim = self.server.sim
        target = self.path
        entry = {
            "requestline": self.requestline,
            "method": self.command,
            "target": target,
            "version": self.request_version,
            "headers": [[k, v] for k, v in self.headers.items()],
        }
        report = parse_report(target)
        if report is not None:
            entry["report"] = report
        sim.record(entry, control=target.startswith("/__sim/"))
        if report is not None:
            print_report(report)
        self.route(target)

    def route(self, target):
        sim = self.server.sim
        path, _, query = target.partition("?")
        params = urllib.parse.parse_qs(query, keep_blank_values=True)
        if path == "/__sim/requests":
            with sim.lock:
                body = json.dumps(sim.records, ensure_ascii=False).encode("utf-8")
            return self.answer(200, "application/json; charset=utf-8", body)
        if path == "/__sim/last":
            with sim.lock:
                last = sim.records[-1] if sim.records else None
            if last is None:
                return self.answer(404, "text/plain", b"no request yet")
            head = [last["requestline"]] + ["%s: %s" % (k, v) for k, v in last["headers"]]
            return self.answer(200, "text/plain; charset=utf-8", "\r\n".join(head).encode("utf-8"))
        if path == "/__sim/count":
            with sim.lock:
                return self.answer(200, "text/plain", str(len(sim.records)).encode("ascii"))
        if path == "/__sim/reports":
            with sim.lock:
                lines = ["%s|%s" % ("valid" if r["report"]["valid"] else "INVALID", r["report"].get("line", ""))
                         for r in sim.records if "report" in r]
            return self.answer(200, "text/plain; charset=utf-8", "".join(l + "\n" for l in lines).encode("utf-8"))
        if path == "/__sim/reset":
            with sim.lock:
                sim.records.clear()
            return self.answer(200, "text/plain", b"ok")
        if path == "/__sim/heartbeat":
            sim.heartbeat_answer = params.get("answer", ["1"])[0]
            return self.answer(200, "text/plain", b"ok")
        if path == REPORT_PATH:
            return self.answer(200, "text/plain", b"1")
        if path == "/t/stall":  # answers only after a while, for time-outs
            time.sleep(float(params.get("s", ["5"])[0]))
            return self.answer(200, "text/plain", b"late")
        if path in TEST_ANSWERS:
            return self.answer(*TEST_ANSWERS[path])
        if path == "/" and params.get("c") == ["heartbeat"]:
            return self.answer(200, "text/plain", sim.heartbeat_answer.encode("utf-8"))
        if path == "/" and params.get("g") == ["dr"]:
            return self.page("pay.html")
        if path.startswith("/game/s/wdAccess/"):
            return self.page("login.html")
        if path.startswith("/game/s/jihuo/"):
            return self.page("jihuo.html")
        if path.startswith("/kefu/"):
            return self.page("kefu.html")
        if path == "/":
            return self.page("index.html")
        return self.answer(404, "text/html", b"<html><body>404 Not Found</body></html>")

    def page(self, name):
        with open(os.path.join(PAGES, name), "rb") as f:
            self.answer(200, "text/html; charset=utf-8", f.read())

    def answer(self, status, content_type, body):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-cache")
        self.end_headers()
        self.wfile.write(body)


def print_report(report):
    if "game" in report:
        print("report: game=%s user=%s event=%s machine=%s time=%s signature=%s" % (
            report["game"], report["user"], report["event"], report["machine"], report["time"],
            "valid" if report["valid"] else "INVALID"), flush=True)
    else:
        print("report: malformed line %r signature=%s" % (
            report.get("line", ""), "valid" if report["valid"] else "INVALID"), flush=True)


def main():
    parser = argparse.ArgumentParser(description="local platform simulator")
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--requests", help="file that receives one JSON line per request")
    parser.add_argument("--heartbeat-answer", default="1")
    args = parser.parse_args()

    ThreadingHTTPServer.allow_reuse_address = True
    ThreadingHTTPServer.daemon_threads = True
    try:
        server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    except OSError as e:
        print("cannot listen on 127.0.0.1:%d: %s" % (args.port, e), file=sys.stderr, flush=True)
        return 1
    server.sim = Simulator(args.requests, args.heartbeat_answer)
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    print("listening on 127.0.0.1:%d" % args.port, flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
