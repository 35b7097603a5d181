#!/usr/bin/env python3
"""The committed pictures are what tools/make_art.py draws today."""
import filecmp
import os
import subprocess
import sys
import tempfile

src = os.environ.get("DUSK_SOURCE_DIR") or os.path.dirname(os.path.dirname(os.path.dirname(
    os.path.abspath(__file__))))
with tempfile.TemporaryDirectory() as out:
    subprocess.run([sys.executable, os.path.join(src, "tools", "make_art.py"), out], check=True)
    stale = []
    for sub in ("client/art", "installer/art"):
        drawn = sorted(os.listdir(os.path.join(out, sub)))
        committed = sorted(os.listdir(os.path.join(src, "resources", sub)))
        if drawn != committed:
            stale.append(f"{sub}: files {committed} but the script draws {drawn}")
            continue
        for name in drawn:
            if not filecmp.cmp(os.path.join(out, sub, name), os.path.join(src, "resources", sub, name),
                               shallow=False):
                stale.append(f"{sub}/{name}")
    if stale:
        print("out of date (run python3 tools/make_art.py):", *stale, sep="\n  ")
        sys.exit(1)
print("all pictures current")
