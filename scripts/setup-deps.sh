#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and runs with. Quick when they are there.
set -euo pipefail
packages=(
  build-essential binutils cmake ninja-build pkg-config
  qt6-base-dev libgl-dev libxcb1-dev
  libcurl4-openssl-dev libcpp-httplib-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  curl locales clang-format
  desktop-file-utils
  xvfb xauth openbox xdotool x11-utils
  libicu-dev
  libsodium-dev minisign libssl-dev openssl
  libsqlite3-dev postgresql libpq-dev chromium
  g++-mingw-w64-x86-64-posix wine wine64 nsis autoconf automake libtool
  clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q "${missing[@]}"
fi
