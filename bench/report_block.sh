#!/usr/bin/env bash
# How long one usage report blocks the user-interface thread when the log host is unreachable:
# (a) a closed port on 127.0.0.1, (b) a host name that does not resolve; each against a
# baseline of the same message loop without a report, in the same run.
#   bench/report_block.sh [build folder]   (built by tools/build.sh; default build/)
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
exe="$build/bin/report_block_bench.exe"
[ -f "$exe" ] || { echo "no $exe: build first (tools/build.sh $build)"; exit 1; }

# A port that nothing listens on: bind one, note it, let it go.
closed=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')

source "$src/tools/wine-env.sh"
trap wine_env_down EXIT
wine_env_up "$build/wine-bench"
out="$build/wine-bench/report_block.txt"
: >"$out"
for base in "http://127.0.0.1:$closed" "http://nonexistent.invalid"; do
  wine "$exe" --cold "$base" >>"$out" 2>&1 </dev/null
done
wine "$exe" "http://127.0.0.1:$closed" "http://nonexistent.invalid" >>"$out" 2>&1 </dev/null
cat "$out"
