#!/usr/bin/env bash
# Whole run time of the installer under Wine with the real payload, each run in a fresh copy of
# a prepared prefix (so every run is a first installation), against a baseline measured in the
# same prefix copy just before: a trivial program (installer_sleeper.exe 0) started the same way.
# The usage reports go to the platform simulator when the build points the log host at
# 127.0.0.1 (tools/sim-hosts.sh); the client the installer starts is stopped with its prefix.
#   bench/install_time.sh [build folder] [runs]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
runs=${2:-5}
setup=$build/bin/dusksetup.exe
baseline=$build/bin/installer_sleeper.exe
for f in "$setup" "$baseline"; do
  [ -f "$f" ] || { echo "install_time: $f is missing; build first (tools/build.sh)" >&2; exit 1; }
done

work=$build/bench-install
rm -rf "$work"
mkdir -p "$work/download"
cp "$setup" "$work/download/zc17_setup.exe"

log_host=$(sed -n 's/^DUSK_LOG_HOST:STRING=//p' "$build/CMakeCache.txt")
sim_pid=
cleanup() {
  set +e # the simulator ends by a signal: its status must not cut the clean-up short
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null
    wait "$sim_pid" 2>/dev/null
  fi
  export WINEPREFIX=${template:-${WINEPREFIX:-}}
  wine_env_down
}
source "$src/tools/wine-env.sh"
trap cleanup EXIT
wine_env_up "$work/env"
template=$WINEPREFIX
wineserver -k # a still prefix copies consistently

case "$log_host" in
  127.0.0.1:*)
    python3 "$src/tools/platform_sim.py" --port "${log_host##*:}" >"$work/sim.log" 2>&1 </dev/null &
    sim_pid=$!
    for _ in $(seq 1 100); do grep -q listening "$work/sim.log" 2>/dev/null && break; sleep 0.1; done
    ;;
  *) echo "note: log host $log_host is not the local simulator; reports may wait on the network" ;;
esac

now_ms() { date +%s%3N; }
base_ms=()
setup_ms=()
for i in $(seq 1 "$runs"); do
  export WINEPREFIX=$work/run$i
  cp -a "$template" "$WINEPREFIX"
  wineserver -p >"$work/wineserver$i.log" 2>&1 </dev/null
  wine wineboot >"$work/services$i.log" 2>&1 </dev/null
  t0=$(now_ms)
  wine "$baseline" 0 >"$work/baseline$i.log" 2>&1 </dev/null
  t1=$(now_ms)
  wine "$work/download/zc17_setup.exe" >"$work/setup$i.log" 2>&1 </dev/null
  t2=$(now_ms)
  base_ms+=($((t1 - t0)))
  setup_ms+=($((t2 - t1)))
  [ -f "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Vantory/tavrokil/duskshell.exe" ] ||
    echo "warning: run $i left no client in the install folder" >&2
  wineserver -k
  rm -rf "$WINEPREFIX"
done
export WINEPREFIX=$template

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
b=$(median "${base_ms[@]}")
s=$(median "${setup_ms[@]}")
payload=$(stat -c %s "$build/payload/dusk_payload.zip" 2>/dev/null || echo "?")
echo "installer runs (ms):  ${setup_ms[*]}"
echo "baseline runs (ms):   ${base_ms[*]}"
echo "payload archive: $payload bytes"
awk -v s="$s" -v b="$b" 'BEGIN { printf "median installer %.0f ms, median trivial program %.0f ms, ratio %.2f\n", s, b, (b > 0 ? s / b : 0) }'
