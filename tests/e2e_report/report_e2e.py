#!/usr/bin/env python3
"""Starts the built duskshell.exe under Wine and checks its usage report at the simulator.

Two clients run side by side from folders of their own in the Wine drive: one whose static.ini
holds uid "zc77", which must send exactly one valid report "dr|77|4|159372|||||ID|TIME" about
ten seconds after its start, and one with an empty uid, which must send none. Reports of
other users come from clients that other tests started; they are listed, not counted.
Runs inside the environment of tools/test.sh (WINEPREFIX, DISPLAY, DUSK_BINARY_DIR, DUSK_LOG_HOST).
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import simlib  # noqa: E402

SKIP = 77
FIRST_WAIT = 25      # seconds from the start until the report must have arrived
QUIET_WAIT = 4       # further seconds in which no second report may arrive
EMPTY_UID_WAIT = 14  # the client without uid is watched at least this long


def ini_text(uid):
    # The keys in the installer's order, as a client after its first run finds them.
    # No boss key, so that the test does not compete for a global hot key.
    keys = [("key", ""), ("uid", uid), ("start", "1"), ("gid", "353"), ("Install", ""), ("DName", ""),
            ("hotkey", ""), ("hotName", ""), ("filename", "5")]
    return "[dr]\r\n" + "".join("%s=%s\r\n" % kv for kv in keys)


def descendants(pid):
    """pid and every process below it, from /proc."""
    parents = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/stat" % entry) as f:
                    fields = f.read().rsplit(")", 1)[1].split()
                parents.setdefault(int(fields[1]), []).append(int(entry))
            except (OSError, IndexError):
                pass
    found, todo = [], [pid]
    while todo:
        p = todo.pop()
        found.append(p)
        todo.extend(parents.get(p, []))
    return found


class Client:
    def __init__(self, exe, folder, uid):
        self.folder = folder
        if os.path.exists(folder):
            shutil.rmtree(folder)
        os.makedirs(folder)
        shutil.copy(exe, os.path.join(folder, "duskshell.exe"))
        with open(os.path.join(folder, "static.ini"), "w", encoding="gbk", newline="") as f:
            f.write(ini_text(uid))
        self.log = open(os.path.join(folder, "wine-output.txt"), "w")
        self.started = time.time()
        self.process = subprocess.Popen(["wine", "duskshell.exe"], cwd=folder, stdout=self.log,
                                        stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)

    def alive(self):
        return self.process.poll() is None

    def visible_windows(self):
        """The X windows of this process that are shown (Wine sets their _NET_WM_PID)."""
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid)],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        return r.stdout.split()

    def stop(self):
        # Only the process started here and what it started, never others' Wine programs.
        for pid in reversed(descendants(self.process.pid)):
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        self.process.wait()
        self.log.close()


def ours(reports):
    """The reports of the client with uid zc77 (malformed lines included: they may be ours)."""
    return [r for r in reports if r.get("user", "77") == "77"]


def check_report(report, started, now):
    problems = []
    fields = report.get("fields", [])
    if len(fields) != 10:
        return ["line %r has %d fields, not 10" % (report.get("line"), len(fields))]
    expected = {0: "dr", 1: "77", 2: "4", 3: "159372", 4: "", 5: "", 6: "", 7: ""}
    for i, value in expected.items():
        if fields[i] != value:
            problems.append("field %d is %r, expected %r" % (i + 1, fields[i], value))
    machine = fields[8]
    if machine and not re.fullmatch(r"[0-9A-F]{2}(-[0-9A-F]{2}){5}", machine):
        problems.append("machine id %r is not of the form 00-1A-2B-3C-4D-5E" % machine)
    if not re.fullmatch(r"-?\d+", fields[9]) or not started - 2 <= int(fields[9]) <= now + 2:
        problems.append("time %r is not the time of sending" % fields[9])
    if not report["valid"]:
        problems.append("signature %s does not match the line" % report["signature"])
    if report["percent_encoded"]:
        problems.append("the line arrived percent-encoded")
    return problems


def main():
    build = os.environ.get("DUSK_BINARY_DIR", "")
    exe = os.path.join(build, "bin", "duskshell.exe")
    if not os.path.isfile(exe):
        print("SKIP: %s is not built yet" % exe)
        return SKIP
    prefix = os.environ.get("WINEPREFIX")
    if not prefix or not os.environ.get("DISPLAY"):
        print("FAIL: no Wine environment; run through tools/test.sh")
        return 1
    port = simlib.port_of(os.environ.get("DUSK_LOG_HOST", ""))
    root = os.path.join(prefix, "drive_c", "dusk-e2e-report")
    failures = []

    with simlib.Simulator(port, os.path.join(build, "e2e_report")) as sim:
        with_uid = Client(exe, os.path.join(root, "with-uid"), "zc77")
        without_uid = Client(exe, os.path.join(root, "without-uid"), "")
        try:
            deadline = with_uid.started + FIRST_WAIT
            while time.time() < deadline and not ours(sim.reports()):
                time.sleep(0.25)
            arrived = time.time()
            reports = ours(sim.reports())
            if not reports:
                failures.append("no report within %d s of the start" % FIRST_WAIT)
            else:
                delay = arrived - with_uid.started
                print("first report %.1f s after the start: %s" % (delay, reports[0].get("line")))
                if delay < 8:
                    failures.append("report after %.1f s; the report timer is ten seconds" % delay)
                failures += check_report(reports[0], with_uid.started, arrived)
            time.sleep(max(QUIET_WAIT, without_uid.started + EMPTY_UID_WAIT - time.time()))
            if not with_uid.visible_windows():
                failures.append("the client with uid zc77 shows no window")
            everything = sim.reports()
            reports = ours(everything)
            if len(reports) > 1:
                failures.append("%d reports, expected one: %s" % (len(reports), [r.get("line") for r in reports]))
            for r in everything:
                if r.get("user") == "":
                    failures.append("a report with an empty user id: %r" % r.get("line"))
                elif r not in reports:
                    print("note: a report of another client: %r" % r.get("line"))
            for name, client in (("uid zc77", with_uid), ("empty uid", without_uid)):
                if not client.alive():
                    failures.append("the client with %s ended (exit code %s)" % (name, client.process.returncode))
            logins = [r["target"] for r in sim.requests() if r["target"].startswith("/game/s/wdAccess/")]
            print("login page requests: %s" % logins)
        finally:
            with_uid.stop()
            without_uid.stop()
        print(sim.printed())

    for f in failures:
        print("FAIL: " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
