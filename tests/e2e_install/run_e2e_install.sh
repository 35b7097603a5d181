#!/usr/bin/env bash
# Runs the installation test in a Wine prefix, HOME and display of its own (a fresh prefix, so
# that the installer meets a clean profile), then stops exactly what it started.
#   run_e2e_install.sh <work folder> <dusksetup.exe> <link reader.exe> <payload.zip>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
work=$1
rm -rf "$work"
mkdir -p "$work"
# The outer test run's display and prefix are not ours to use.
unset DISPLAY DUSK_DISPLAY
source "$src/tools/wine-env.sh"
trap wine_env_down EXIT
wine_env_up "$work/wine"
python3 "$here/e2e_install.py" "$work" "$2" "$3" "$4"
