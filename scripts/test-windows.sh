#!/usr/bin/env bash
# Runs the Windows build's tests under Wine: each test program once (one Wine start per program,
# not per case), the whole unattended run against tamsel-server from the Linux build, then the
# native windows, the keyboard road and the installer on a virtual desktop.
#   scripts/test-windows.sh [BUILD_DIR] [LINUX_BUILD_DIR]   (defaults build-windows and build)
# The Wine prefix is a fresh one inside the build folder, so the user's own is never touched.
set -euo pipefail
# Windows are made on a virtual display, one for the whole run: Wine's desktop keeps the first.
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a "$0" "$@"
fi
cd "$(dirname "$0")/.."
build_dir=${1:-build-windows}
linux_build=${2:-build}
export WINEPREFIX=$PWD/$build_dir/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
wineboot --init >/dev/null 2>&1
# The cases that check Linux alone are left out.
linux_only=$(grep -v '^#' tests/windows/linux-only-cases.txt | paste -sd: -)
passed=0
failed=0
while read -r program; do
  [ -n "$program" ] || continue
  if wine "$program" --gtest_brief=1 "--gtest_filter=-$linux_only" 2>&1 |
    tr -d '\r'; then
    passed=$((passed + 1))
  else
    echo "FAILED: $(basename "$program")"
    failed=$((failed + 1))
  fi
done <"$build_dir/windows-tests.txt"
if ./tests/windows/whole-run.sh "$build_dir" "$linux_build"; then
  passed=$((passed + 1))
else
  echo "FAILED: whole unattended run"
  failed=$((failed + 1))
fi
wineserver -k 2>/dev/null || true
# The native windows, the keyboard road and the installer, each in a Wine prefix of its own on a
# virtual display with a window manager.
if ./tests/win32/desktop-tests.sh "$build_dir" "$linux_build"; then
  passed=$((passed + 1))
else
  echo "FAILED: the windows and the installer on a desktop"
  failed=$((failed + 1))
fi
echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
