#!/usr/bin/env python3
"""The login dialog's page request, as the platform sees it: starts the platform simulator on
the port of the build's main web host, runs login_page_probe.exe under Wine (the real frame
and dialog with Wine's WebBrowser control) and checks the request that arrives.

    login_page_request.py PROBE.exe
Runs inside the environment of tools/test.sh (WINEPREFIX, DISPLAY, DUSK_MAIN_HOST)."""
import os
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import simlib  # noqa: E402

PROBE = sys.argv.pop(1) if len(sys.argv) > 1 else None
MAIN_HOST = os.environ.get("DUSK_MAIN_HOST", "")


def run_probe(workdir, uid, suid, sim):
    """Runs the probe until the login request has reached the simulator; returns
    (requests to the login path, probe exit code, probe output)."""
    stop = os.path.join(workdir, "stop-%s-%s" % (uid or "empty", suid or "empty"))
    log_path = os.path.join(workdir, "probe.txt")
    wine_exec = os.path.join(simlib.HERE, "wine-exec.sh")
    with open(log_path, "w") as log:
        proc = subprocess.Popen(["bash", wine_exec, PROBE, uid, suid, winpath(stop)], stdout=log,
                                stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        logins = []
        deadline = time.time() + 30
        while time.time() < deadline and proc.poll() is None:
            logins = [r for r in sim.requests() if r["target"].startswith("/game/s/wdAccess/")]
            if logins:
                break
            time.sleep(0.2)
        open(stop, "w").close()
        try:
            rc = proc.wait(60)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
            rc = "killed"
    with open(log_path, errors="replace") as f:
        output = f.read()
    return logins, rc, output


def winpath(path):
    """The Wine path of a Linux file (Z: maps the root)."""
    return "Z:" + path.replace("/", "\\")


class LoginPageRequest(unittest.TestCase):
    def setUp(self):
        self.assertTrue(PROBE and MAIN_HOST and os.environ.get("WINEPREFIX"),
                        "needs the probe, DUSK_MAIN_HOST and the Wine test bed of tools/test.sh")

    def test_the_login_page_is_requested_with_uid_and_suid_as_they_are(self):
        cases = [("77", "5"), ("", ""), ("u9", "s_1.2")]
        workdir = tempfile.mkdtemp(prefix="dusk-login-")
        with simlib.Simulator(simlib.port_of(MAIN_HOST), workdir) as sim:
            for row, (uid, suid) in enumerate(cases):
                self.assertEqual(sim.get("/__sim/reset"), b"ok")
                logins, rc, output = run_probe(workdir, uid, suid, sim)
                expected = "/game/s/wdAccess/?name=dr&uid=%s&suid=%s" % (uid, suid)
                self.assertEqual(rc, 0, "row %d: %s" % (row, output))
                self.assertTrue(logins, "row %d: no login request reached the simulator\n%s\n%s"
                                % (row, output, sim.printed()))
                self.assertEqual(logins[0]["method"], "GET", "row %d" % row)
                self.assertEqual(logins[0]["target"], expected, "row %d" % row)
                host = dict((k.lower(), v) for k, v in logins[0]["headers"]).get("host")
                self.assertEqual(host, MAIN_HOST, "row %d" % row)
                self.assertIn("navigated: http://%s%s" % (MAIN_HOST, expected), output, "row %d" % row)
                # No document loads under Wine, so the dialog never shows itself.
                self.assertIn("visible: 0", output, "row %d" % row)


if __name__ == "__main__":
    unittest.main()
