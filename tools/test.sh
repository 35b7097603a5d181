#!/usr/bin/env bash
# Sets up, builds and runs every test: the native ones under the sanitizers, the Windows ones
# under Wine in a prefix, HOME and Xvfb display of the test run's own.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${DUSK_BUILD:-"$src/build"}

bash "$src/tools/setup.sh"
bash "$src/tools/build.sh" "$build" $(bash "$src/tools/sim-hosts.sh")

echo "== native tests"
ctest --test-dir "$build/native" --output-on-failure -j 2

echo "== fuzzing the ZIP reader for ${DUSK_FUZZ_SECONDS:=60} s"
bash "$src/tests/fuzz/run-fuzz.sh" "$build/fuzz" "$DUSK_FUZZ_SECONDS" >"$build/fuzz.log" 2>&1 \
  || { tail -40 "$build/fuzz.log"; exit 1; }
tail -n 1 "$build/fuzz.log"

source "$src/tools/wine-env.sh"
trap wine_env_down EXIT
wine_env_up "$build/wine"
echo "== Windows tests under Wine"
ctest --test-dir "$build" --output-on-failure -j 2
