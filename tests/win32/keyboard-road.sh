#!/usr/bin/env bash
# The interactive road of the Windows updater under Wine, driven once with real keys from xdotool
# on the current X display (run it under xvfb-run with a window manager): the setup dialog, the
# package menu, the warning for a package unticked, the review, the processing and the finish,
# against tamsel-server serving the sample kit on loopback.
# Usage: tests/win32/keyboard-road.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
windows=$(cd "${1:?usage: keyboard-road.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR}" && pwd)
linux=$(cd "${2:?usage: keyboard-road.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR}" && pwd)
work=$(mktemp -d "$windows/keyboard-road.XXXXXX")
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
server=""
trap 'kill $server 2>/dev/null; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

"$linux/tools/tamsel-server/tamsel-server" --port 0 --reports "$work/reports" \
  "$top/data/sample-kit" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do grep -q '^listening on ' "$work/server.log" && break; sleep 0.1; done
address=$(sed -n 's/^listening on \(http:\/\/[^ ]*\)\/$/\1/p' "$work/server.log" | head -n 1)
[ -n "$address" ] || fail "tamsel-server did not start"

# A kit that had the sales templates before, and no user details yet.
wine wineboot -i >/dev/null 2>&1
kit="$WINEPREFIX/drive_c/Kit"
wine "$windows/tools/tamsel-install/tamsel-kit-setup.exe" 'C:\Kit' --remote "$address" >/dev/null ||
  fail "the kit's settings"
mkdir -p "$kit/Updater"
cp "$windows/src/win32/tamsel-updater.exe" "$kit/Updater/"
printf 'historical="Sales templates"\r\n' >>"$kit/localtamselupdater.ini"

wine 'C:\Kit\Updater\tamsel-updater.exe' &
updater=$!

# The visible updater window whose size is near WIDTHxHEIGHT (the dialogs differ in size), once
# it has been shown for a moment; fails after a bound.
await() {  # await WHAT WIDTH HEIGHT
  for _ in $(seq 300); do
    for id in $(xdotool search --onlyvisible --name '^Tamsel Updater$' 2>/dev/null); do
      eval "$(xdotool getwindowgeometry --shell "$id")"
      if [ $((WIDTH - $2)) -ge -12 ] && [ $((WIDTH - $2)) -le 12 ] &&
         [ $((HEIGHT - $3)) -ge -12 ] && [ $((HEIGHT - $3)) -le 40 ]; then
        sleep 1
        xdotool windowactivate --sync "$id" 2>/dev/null
        echo "ok: $1"
        return 0
      fi
    done
    sleep 0.2
  done
  fail "$1 never came"
}
keys() { xdotool key --delay 80 "$@"; }
type_text() { xdotool type --delay 60 "$1"; }

await "setup" 500 348
type_text "Jo Smith"; keys Tab; type_text "Sales"; keys Tab; type_text "jo@example.com"
sleep 1; keys Return
await "menu" 400 320
# The list has the keyboard: to the sales templates, untick them.
keys Home Down space
await "warning" 360 128
keys Return
# Back on the list: tick them again, and continue.
await "menu again" 400 320
keys space Return
await "review" 460 330
keys Return
await "finish" 440 300
sleep 2; keys Return
for _ in $(seq 100); do kill -0 $updater 2>/dev/null || break; sleep 0.2; done
kill -0 $updater 2>/dev/null && fail "the updater did not end"
wait $updater
status=$?
[ $status -eq 0 ] || fail "the updater ended with status $status"
grep -q '^username="Jo Smith"' "$kit/localtamselupdater.ini" || fail "the user's name was not kept"
[ -n "$(find "$kit/Files" -type f 2>/dev/null | head -n 1)" ] || fail "no kit file arrived"
find "$kit/Files" -ipath '*sales*' -type f | grep -q . || fail "the sales templates did not arrive"
echo "keyboard road passed"
