#!/usr/bin/env python3
"""Runs a Windows test program under Wine with the platform simulator on a free port.

    run_with_sim.py PROGRAM.exe [arguments...]

The program finds the simulator at DUSK_SIM_TEST_BASE ("http://127.0.0.1:PORT"). Its output
goes through a file (Wine's service processes may inherit it), then to our standard output.
"""

import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import simlib  # noqa: E402


def main():
    program = sys.argv[1:]
    wine_exec = os.path.join(simlib.HERE, "wine-exec.sh")
    workdir = tempfile.mkdtemp(prefix="dusk-sim-")
    sim = simlib.Simulator(simlib.free_port(), workdir)
    with sim:
        env = dict(os.environ, DUSK_SIM_TEST_BASE=sim.base())
        log = os.path.join(workdir, "program-output.txt")
        with open(log, "w") as out:
            rc = subprocess.call(["bash", wine_exec] + program, stdout=out, stderr=subprocess.STDOUT,
                                 stdin=subprocess.DEVNULL, env=env)
        with open(log, errors="replace") as f:
            sys.stdout.write(f.read())
        print("--- simulator output\n" + sim.printed())
    if rc == 0:
        shutil.rmtree(workdir, ignore_errors=True)
    else:
        print("--- requests kept in " + sim.requests_file)
    return rc


if __name__ == "__main__":
    sys.exit(main())
