#!/usr/bin/env bash
# Installs from Debian's packages everything the build, the tests and the main job need.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

packages=(
  cmake ninja-build make python3 pkg-config
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  libz-mingw-w64-dev
  googletest
  wine wine32:i386
  xvfb xdotool x11-utils imagemagick
  fonts-wqy-zenhei fonts-dejavu-core
  zip unzip libminizip-dev zlib1g-dev
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  missing+=(wine32:i386)
fi
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine takes its ANSI code page from the locale: the tests run as on a Chinese system (936).
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
