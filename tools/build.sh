#!/usr/bin/env bash
# Builds both programs for 32-bit Windows into <build folder> (programs in <build folder>/bin/)
# and the platform-free code natively into <build folder>/native.
#   tools/build.sh [build folder] [extra CMake arguments...]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$src/build"}
[ $# -gt 0 ] && shift
mkdir -p "$build"
build=$(cd "$build" && pwd)
jobs=$(nproc)

cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-mingw-i686.cmake" "$@" >"$build/configure.log" \
  || { cat "$build/configure.log"; exit 1; }
cmake --build "$build" -j "$jobs"

cmake -S "$src" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >"$build/native-configure.log" \
  || { cat "$build/native-configure.log"; exit 1; }
cmake --build "$build/native" -j "$jobs"
