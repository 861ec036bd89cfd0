#!/usr/bin/env bash
# Sets up, builds and runs the updater against the bundled sample kit:
#   - starts tamsel-server with data/sample-kit on a free loopback port,
#   - lays out a demo kit in demo/Kit (the updater in demo/Kit/Updater, settings filled in),
#   - runs the updater (its window when a display is present, unattended otherwise),
#   - shows the kit's files, the settings written, the update log and the server's log,
#   - and the address of the reports page, where the uploaded log is listed.
# Running it again updates the same demo kit, which is then up to date.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

./scripts/setup-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target tamsel-updater tamsel-server

demo=$root/demo
kit=$demo/Kit
mkdir -p "$kit/Updater" "$kit/Files" "$demo/reports"
cp build/src/qt/tamsel-updater "$kit/Updater/"

server_log=$demo/server.log
build/tools/tamsel-server/tamsel-server --port 0 --reports "$demo/reports" data/sample-kit >"$server_log" 2>&1 &
server_pid=$!
trap 'kill "$server_pid" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  grep -q '^listening on ' "$server_log" 2>/dev/null && break
  sleep 0.1
done
address=$(sed -n 's/^listening on \(http:\/\/[^ ]*\)\/$/\1/p' "$server_log" | head -n 1)
[ -n "$address" ] || { echo "tamsel-server did not start:"; cat "$server_log"; exit 1; }

# The server's port changes on every start: the remote address is written each time.
printf 'remote="%s"\r\nprimary_catalogue="Tam-Sel Main Catalogue.ini"\r\nsecondary_catalogue="catalogue.ini"\r\n' \
  "$address" >"$kit/globaltamselupdater.ini"
if [ ! -f "$kit/localtamselupdater.ini" ]; then
  printf 'username="Demo User"\r\ndepartment="Demonstrations"\r\nemail="demo.user@example.com"\r\nautoupdate="Weekly"\r\nlastupdated=""\r\nlocal="%s"\r\n' \
    "$kit/Files" >"$kit/localtamselupdater.ini"
fi
[ -f "$kit/tamsel.ini" ] || printf '[Tamsel]\r\nRunAtDate=\r\n' >"$kit/tamsel.ini"

echo "== Running the updater against $address"
status=0
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  "$kit/Updater/tamsel-updater" || status=$?
else
  "$kit/Updater/tamsel-updater" /UNATTENDED || status=$?
fi

echo
echo "== The demo kit's files ($kit/Files)"
(cd "$kit/Files" && find . -type f -printf '%TY-%Tm-%Td %TH:%TM  %8s  %P\n' | sort -k4)
echo
echo "== Settings written ($kit/localtamselupdater.ini)"
tr -d '\r' <"$kit/localtamselupdater.ini"
echo
echo "== Schedule ($kit/tamsel.ini)"
tr -d '\r' <"$kit/tamsel.ini"
echo
echo "== Update log ($kit/tamsel_updater_log.txt), also uploaded to $demo/reports"
[ -f "$kit/tamsel_updater_log.txt" ] && tr -d '\r' <"$kit/tamsel_updater_log.txt"
echo
echo "== The server's log of requests"
cat "$server_log"
echo
echo "== Reports page: $address/tamsel_reports/ (as CSV: $address/tamsel_reports/reports.csv)"
if [ -t 0 ]; then
  read -r -p "Press Enter to stop the server. " _
fi
exit "$status"
