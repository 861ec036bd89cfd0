#!/usr/bin/env bash
# The Windows build on a desktop, under Wine: the native windows' tests (pictures of every form in
# WINDOWS_BUILD_DIR/form-png), the keyboard road against tamsel-server from LINUX_BUILD_DIR, and
# the installer. The windows run on a virtual X display of their own with a window manager.
# Usage: tests/win32/desktop-tests.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
windows=$(cd "${1:?usage: desktop-tests.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR}" && pwd)
linux=$(cd "${2:?usage: desktop-tests.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR}" && pwd)
status=0
export WINEDEBUG=-all
on_desktop() {
  xvfb-run -a -s "-screen 0 1024x768x24" "$here/../qt/with-window-manager.sh" "$@"
}
WINEPREFIX="$windows/wine-desktop" on_desktop wine "$windows/tests/win32/tamsel_win32_tests.exe" ||
  status=1
on_desktop "$here/keyboard-road.sh" "$windows" "$linux" || status=1
"$here/installer-test.sh" "$windows" || status=1
exit $status
