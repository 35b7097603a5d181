#!/usr/bin/env bash
# Under Wine on a virtual screen, in one run:
#  (a) process start to the login frame's first picture on screen, against a bare program that
#      shows one 1190 x 700 layered window from an embedded PNG (median of several starts);
#  (b) one RedrawSkin (a hover change) against a bare UpdateLayeredWindow of a composed picture.
#   bench/login_frame.sh [build folder]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$src/build"}
runs=${DUSK_BENCH_RUNS:-7}
[ -x "$build/bin/bench_redraw.exe" ] || bash "$src/tools/build.sh" "$build" $(bash "$src/tools/sim-hosts.sh") >/dev/null
work="$build/bench-login-frame"
rm -rf "$work"
mkdir -p "$work"

source "$src/tools/wine-env.sh"
trap wine_env_down EXIT
wine_env_up "$build/bench-wine"
drive="$WINEPREFIX/drive_c/bench_frame"
mkdir -p "$drive"
cp "$build/bin/duskshell.exe" "$build/bin/bench_bare_layered.exe" "$drive/"
printf '[dr]\r\nstart=1\r\nuid=\r\nfilename=\r\nhotkey=\r\n' >"$drive/static.ini"

# Milliseconds from starting the program to its window being on screen.
time_to_window() {
  local exe=$1 title=$2 start end pid
  start=$(date +%s%N)
  (cd "$drive" && exec wine "$exe" >/dev/null 2>&1 </dev/null) &
  pid=$!
  until xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; do
    if [ $(( $(date +%s%N) - start )) -gt 60000000000 ]; then
      echo "no window '$title' within 60 s" >&2
      kill "$pid" 2>/dev/null
      exit 1
    fi
    sleep 0.005
  done
  end=$(date +%s%N)
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
  sleep 0.3
  echo $(( (end - start) / 1000000 ))
}

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

: >"$work/client.txt"; : >"$work/bare.txt"
for _ in $(seq 1 "$runs"); do
  time_to_window bench_bare_layered.exe BareLayered >>"$work/bare.txt"
  time_to_window duskshell.exe KorvaneDuskreign >>"$work/client.txt"
done
client=$(median <"$work/client.txt")
bare=$(median <"$work/bare.txt")
echo "(a) start to first picture: client ${client} ms, bare layered window ${bare} ms, ratio $(awk -v a="$client" -v b="$bare" 'BEGIN{printf "%.2f", a/b}')"
echo -n "(b) "
(cd "$build/bin" && wine bench_redraw.exe 2>/dev/null | tr -d '\r')
