#!/usr/bin/env bash
# Times unpacking one large archive with our reader (bench/unzip_tool, release build), Info-ZIP
# unzip and Python's zipfile, in the same run, and prints the ratios ours/unzip and ours/python
# (medians of several runs, wall clock and CPU time; below 1 means ours is faster).
#   bench/unzip_bench.sh [runs] [megabytes]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
megabytes=${2:-300}
work=$(mktemp -d "${TMPDIR:-/tmp}/dusk-unzip-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "== building the tool (release)"
cmake -S "$src/bench/unzip_tool" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >"$work/configure.log" \
  || { cat "$work/configure.log"; exit 1; }
cmake --build "$work/build" >/dev/null
tool="$work/build/unzip_tool"

echo "== making a payload of about $megabytes MB"
python3 - "$work/data" "$megabytes" <<'PY'
import os, random, sys
out, total = sys.argv[1], int(sys.argv[2]) * 1024 * 1024
rng = random.Random(7)
words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 10))) for _ in range(5000)]
made = 0
i = 0
while made < total:
    folder = os.path.join(out, f"dir{i % 7}", f"sub{i % 3}")
    os.makedirs(folder, exist_ok=True)
    if i % 3 == 2:  # incompressible
        data = os.urandom(rng.randint(1, 12) * 1024 * 1024)
        name = f"blob{i}.bin"
    else:  # text: deflate's usual case
        lines = []
        size = rng.randint(1, 12) * 1024 * 1024
        n = 0
        while n < size:
            line = b" ".join(rng.choices(words, k=12)) + b"\n"
            lines.append(line)
            n += len(line)
        data = b"".join(lines)
        name = f"text{i}.txt"
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)
    made += len(data)
    i += 1
for k in range(200):  # many small files too
    with open(os.path.join(out, f"small{k}.txt"), "wb") as f:
        f.write(b" ".join(rng.choices(words, k=rng.randint(1, 2000))))
PY
(cd "$work/data" && zip -q -r "$work/payload.zip" .)
rm -rf "$work/data"
echo "archive: $(du -m "$work/payload.zip" | cut -f1) MB"

python3 - "$work" "$tool" "$runs" <<'PY'
import os, shutil, statistics, subprocess, sys, time, zipfile
work, tool, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
archive = os.path.join(work, "payload.zip")
out = os.path.join(work, "out")

def ours():
    subprocess.run([tool, archive, out], check=True)

def unzip():
    subprocess.run(["unzip", "-o", "-q", archive, "-d", out], check=True)

def python():
    with zipfile.ZipFile(archive) as z:
        z.extractall(out)

def cpu():
    t = os.times()
    return t.user + t.system + t.children_user + t.children_system

def timed(fn):
    """Wall-clock and CPU seconds (own and children's) of one unpacking into a fresh folder."""
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    # Write back what the previous run left dirty, so nobody pays for another's writes.
    os.sync()
    start, start_cpu = time.perf_counter(), cpu()
    fn()
    return time.perf_counter() - start, cpu() - start_cpu

contenders = {"ours": ours, "unzip": unzip, "python": python}
for fn in contenders.values():  # warm the page cache and check that each one works
    timed(fn)
wall = {k: [] for k in contenders}
busy = {k: [] for k in contenders}
for _ in range(runs):  # interleaved, so drift hits all alike
    for k, fn in contenders.items():
        w, c = timed(fn)
        wall[k].append(w)
        busy[k].append(c)
shutil.rmtree(out, ignore_errors=True)
med = {k: statistics.median(v) for k, v in wall.items()}
cpu_med = {k: statistics.median(v) for k, v in busy.items()}
for k in contenders:
    print(f"{k:7s} median {med[k]:.3f} s wall, {cpu_med[k]:.3f} s cpu;  wall runs " +
          " ".join(f"{t:.3f}" for t in wall[k]))
print(f"ratio ours/unzip  {med['ours'] / med['unzip']:.3f} wall, {cpu_med['ours'] / cpu_med['unzip']:.3f} cpu")
print(f"ratio ours/python {med['ours'] / med['python']:.3f} wall, {cpu_med['ours'] / cpu_med['python']:.3f} cpu")
PY
