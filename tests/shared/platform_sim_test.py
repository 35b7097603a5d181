#!/usr/bin/env python3
"""The simulator's own checks: the tests of the programs trust its signature verdicts."""

import hashlib
import http.client
import json
import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import simlib  # noqa: E402

KEY = b"Hn4vRb8Ye2Wu"
LINE = b"dr|77|4|159372|||||00-1A-2B-3C-4D-5E|1765460000"


def raw_get(port, target, headers=()):
    """A GET whose request-line target goes out byte for byte."""
    c = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
    c.putrequest("GET", target, skip_host=False, skip_accept_encoding=True)
    for k, v in headers:
        c.putheader(k, v)
    c.endheaders()
    r = c.getresponse()
    body = r.read()
    c.close()
    return r.status, body


class PlatformSimTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="dusk-simtest-")
        cls.sim = simlib.Simulator(simlib.free_port(), cls.dir).start()

    @classmethod
    def tearDownClass(cls):
        cls.sim.stop()
        shutil.rmtree(cls.dir, ignore_errors=True)

    def setUp(self):
        self.sim.get("/__sim/reset")

    def test_report_signatures(self):
        good = hashlib.md5(LINE + KEY).hexdigest()
        gbk_line = "dr|测试|4|159372|||||00-1A-2B-3C-4D-5E|1".encode("gbk")
        cases = [
            # (target bytes after "log=", valid, user)
            (LINE + b"|" + good.encode(), True, "77"),
            (LINE + b"|" + good.upper().encode(), False, "77"),
            (LINE.replace(b"|77|", b"|78|") + b"|" + good.encode(), False, "78"),
            (LINE.replace(b"|", b"%7C") + b"%7C" + good.encode(), True, "77"),
            (gbk_line.replace(b"\xb2", b"%B2").replace(b"\xe2", b"%E2").replace(b"\xca", b"%CA").replace(b"\xd4", b"%D4")
             + b"|" + hashlib.md5(gbk_line + KEY).hexdigest().encode(), True, "测试"),
            (b"nosignature", False, None),
        ]
        for i, (log, valid, user) in enumerate(cases):
            status, body = raw_get(self.sim.port, "/receive/micoclient?log=" + log.decode("latin-1"))
            self.assertEqual((status, body), (200, b"1"), "row %d" % i)
            report = self.sim.reports()[-1]
            self.assertEqual(report["valid"], valid, "row %d" % i)
            self.assertEqual(report.get("user"), user, "row %d" % i)
        self.assertEqual(len(self.sim.reports()), len(cases))
        printed = self.sim.printed()
        self.assertIn("report: game=dr user=77 event=4 machine=00-1A-2B-3C-4D-5E time=1765460000 signature=valid",
                      printed)
        self.assertIn("signature=INVALID", printed)

    def test_recording_and_control(self):
        raw_get(self.sim.port, "/t/utf8?a=1|2", [("Accept", "*,*/*"), ("X-B", "b")])
        last = self.sim.get("/__sim/last").decode("utf-8").split("\r\n")
        self.assertEqual(last[0], "GET /t/utf8?a=1|2 HTTP/1.1")
        self.assertEqual(last[1:], ["Host: 127.0.0.1:%d" % self.sim.port, "Accept: *,*/*", "X-B: b"])
        self.assertEqual(self.sim.get("/__sim/count"), b"1")
        with open(self.sim.requests_file, encoding="utf-8") as f:
            logged = [json.loads(line) for line in f]
        self.assertIn("/t/utf8?a=1|2", [r["target"] for r in logged])
        self.assertTrue(all(r.get("control") for r in logged if r["target"].startswith("/__sim/")))

    def test_heartbeat_answer_changes(self):
        beat = "/?m=game&c=heartbeat&userid=1001&g_id=7&f_id=9&type=cs"
        self.assertEqual(raw_get(self.sim.port, beat), (200, b"1"))
        self.sim.get("/__sim/heartbeat?answer=0")
        self.assertEqual(raw_get(self.sim.port, beat), (200, b"0"))
        self.sim.get("/__sim/heartbeat?answer=1")
        self.assertEqual(raw_get(self.sim.port, beat), (200, b"1"))

    def test_pages_and_fixed_answers(self):
        cases = [
            ("/game/s/wdAccess/?name=dr&uid=77&suid=5", 200, "登录"),
            ("/game/s/jihuo/?game=qzvr", 200, "账号激活"),
            ("/?g=dr", 200, "充值"),
            ("/kefu/", 200, "客服中心"),
            ("/t/404", 404, "404 Not Found"),
            ("/nowhere", 404, "404"),
        ]
        for i, (target, status, text) in enumerate(cases):
            got, body = raw_get(self.sim.port, target)
            self.assertEqual(got, status, "row %d" % i)
            self.assertIn(text, body.decode("utf-8"), "row %d" % i)
        self.assertEqual(len(raw_get(self.sim.port, "/t/1024")[1]), 1024)
        self.assertEqual(raw_get(self.sim.port, "/t/zero")[1][:5], b"head\0")

    def test_busy_port_is_reported(self):
        other = simlib.Simulator(self.sim.port, self.dir + "/second")
        with self.assertRaises(RuntimeError):
            other.start(timeout=5)


if __name__ == "__main__":
    unittest.main()
