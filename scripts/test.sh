#!/usr/bin/env bash
# Builds the project in BUILD_DIR (default "build") and runs every test with ctest.
# Further arguments are passed to cmake's configure step. Then the Windows build is made and its
# tests run under Wine (scripts/build-windows.sh, scripts/test-windows.sh), unless
# TAMSEL_SKIP_WINDOWS=1 or MinGW-w64 or Wine is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
shift || true
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build_dir" -j "$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
if [ "${TAMSEL_SKIP_WINDOWS:-0}" != 1 ] && command -v x86_64-w64-mingw32-g++-posix >/dev/null &&
  command -v wine >/dev/null; then
  ./scripts/build-windows.sh "$build_dir-windows"
  ./scripts/test-windows.sh "$build_dir-windows" "$build_dir"
fi
