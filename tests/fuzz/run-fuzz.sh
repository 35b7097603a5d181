#!/usr/bin/env bash
# Fuzzes the ZIP reader and the unpacking rules with libFuzzer for a while.
#   tests/fuzz/run-fuzz.sh <build folder> <seconds>
# Configures a native clang tree with DUSK_FUZZ=ON in <build folder>, builds zip_fuzz and runs
# it on a copy of the seeds; exits non-zero when it finds a crash (the input is kept in
# <build folder>/zip-fuzz-artifacts/).
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
[ $# -eq 2 ] || { echo "usage: $0 <build folder> <seconds>" >&2; exit 2; }
build=$1
seconds=$2
mkdir -p "$build"
build=$(cd "$build" && pwd)

CC=clang CXX=clang++ cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUSK_FUZZ=ON \
  >"$build/fuzz-configure.log" || { cat "$build/fuzz-configure.log"; exit 1; }
cmake --build "$build" --target zip_fuzz

work="$build/zip-fuzz-corpus"
artifacts="$build/zip-fuzz-artifacts"
mkdir -p "$work" "$artifacts"
cp -n "$src"/tests/fuzz/corpus/zip/* "$work"/ 2>/dev/null || true
"$build/tests/fuzz/zip_fuzz" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$artifacts/" "$work"
