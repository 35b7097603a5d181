#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the environment that tools/wine-env.sh set up.
# Used as CMake's crosscompiling emulator, so ctest runs the cross-built tests through it.
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-exec: no WINEPREFIX; run the tests through tools/test.sh" >&2
  exit 2
fi
exec wine "$@"
