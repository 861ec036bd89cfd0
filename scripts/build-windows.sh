#!/usr/bin/env bash
# Cross-builds the updater for 64-bit Windows with MinGW-w64 into BUILD_DIR (default
# "build-windows"): one static tamsel-updater.exe, its installer tamsel-setup.exe and the core's
# test programs, with GoogleTest built from /usr/src/googletest by the same compiler and libsodium
# cross-built once into BUILD_DIR/libsodium. Further arguments go to cmake's configure.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-windows}
shift || true
mkdir -p "$build_dir"
deps=$(realpath "$build_dir")/libsodium
scripts/build-mingw-libsodium.sh "$deps"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DTAMSEL_MINGW_DEPS="$deps" \
  -DTAMSEL_BUILD_QT=OFF "$@"
cmake --build "$build_dir" -j "$(nproc)"
# The installer, tamsel-setup.exe, from the programs just built.
installer/build-installer.sh "$build_dir"
