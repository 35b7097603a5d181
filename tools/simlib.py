"""Starts and stops the platform simulator (tools/platform_sim.py) for tests and benchmarks.

    with Simulator(port, workdir) as sim:
        ... sim.requests() ... sim.reports() ...

Tests that use the build's baked-in port (DUSK_LOG_HOST and friends) should take the CTest
resource lock "dusk_sim_port" so that two of them never run at once.
"""

import json
import os
import socket
import subprocess
import sys
import time
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def port_of(host):
    """The port of a "host:port" deployment setting (80 when it names none)."""
    _, _, port = host.rpartition(":")
    return int(port) if port.isdigit() else 80


class Simulator:
    def __init__(self, port, workdir, heartbeat_answer="1"):
        self.port = port
        os.makedirs(workdir, exist_ok=True)
        self.requests_file = os.path.join(workdir, "sim-requests-%d.jsonl" % port)
        self.output_file = os.path.join(workdir, "sim-output-%d.txt" % port)
        self.heartbeat_answer = heartbeat_answer
        self.process = None

    def start(self, timeout=10):
        for path in (self.requests_file, self.output_file):
            if os.path.exists(path):
                os.remove(path)
        self.output = open(self.output_file, "w")
        self.process = subprocess.Popen(
            [sys.executable, os.path.join(HERE, "platform_sim.py"), "--port", str(self.port),
             "--requests", self.requests_file, "--heartbeat-answer", self.heartbeat_answer],
            stdout=self.output, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        deadline = time.time() + timeout
        while time.time() < deadline:
            with open(self.output_file) as f:
                if "listening on 127.0.0.1:%d" % self.port in f.read():
                    return self
            if self.process.poll() is not None:
                break
            time.sleep(0.05)
        self.stop()
        with open(self.output_file) as f:
            raise RuntimeError("simulator did not start on port %d: %s" % (self.port, f.read()))

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process = None
        if getattr(self, "output", None):
            self.output.close()
            self.output = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    def base(self):
        return "http://127.0.0.1:%d" % self.port

    def get(self, path):
        with urllib.request.urlopen(self.base() + path, timeout=10) as r:
            return r.read()

    def requests(self):
        """Every request so far except the simulator's own control requests."""
        return json.loads(self.get("/__sim/requests").decode("utf-8"))

    def reports(self):
        return [r["report"] for r in self.requests() if "report" in r]

    def printed(self):
        with open(self.output_file, encoding="utf-8", errors="replace") as f:
            return f.read()
