#!/usr/bin/env bash
# Whole unattended runs of the sample kit against tamsel-server on loopback, the Windows build
# under Wine beside the Linux build, median of 5 each: the first update of a fresh kit, and the
# same kit checked again when it is up to date. Wine's own start is part of every Windows run.
#   bench/windows_run.sh [LINUX_BUILD_DIR] [WINDOWS_BUILD_DIR]   (defaults build, build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
linux=${1:-build}
windows=${2:-build-windows}
cmake --build "$linux" --target tamsel-updater tamsel-server >/dev/null
cmake --build "$windows" --target tamsel-updater >/dev/null

work=$(mktemp -d)
trap 'kill "${server_pid:-0}" 2>/dev/null || true; wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work/runtime TAMSEL_REGISTRY=$work/registry
export WINEPREFIX=$PWD/$windows/wineprefix WINEDEBUG=-all
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$linux/tools/tamsel-server/tamsel-server" --port 0 --reports "$work/reports" data/sample-kit \
  >"$work/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do grep -q '^listening' "$work/server.log" && break; sleep 0.1; done
remote=$(sed -n 's/^listening on \(http:\/\/[^ ]*\)\/$/\1/p' "$work/server.log")
wineboot --init >/dev/null 2>&1

# A registered user's kit in $1 with the program $2; $3 is the kit folder as the program names it.
make_kit() {
  mkdir -p "$1/Updater" "$1/Files"
  cp "$2" "$1/Updater/"
  printf 'remote="%s"\r\nprimary_catalogue="Tam-Sel Main Catalogue.ini"\r\nsecondary_catalogue="catalogue.ini"\r\n' \
    "$remote" >"$1/globaltamselupdater.ini"
  printf 'username="Bench User"\r\ndepartment="Bench"\r\nemail="bench@example.com"\r\nautoupdate="Weekly"\r\nlastupdated=""\r\nlocal="%s"\r\n' \
    "$3" >"$1/localtamselupdater.ini"
  printf '[Tamsel]\r\nRunAtDate=\r\n' >"$1/tamsel.ini"
}

seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >"$work/last.log" 2>&1 || { echo "failed: $*" >&2; cat "$work/last.log" >&2; exit 1; }
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}
median() { sort -g | awk '{ v[NR] = $1 } END { printf "%.3f", v[int((NR + 1) / 2)] }'; }

declare -A first again
for i in 1 2 3 4 5; do
  make_kit "$work/linux$i" "$linux/src/qt/tamsel-updater" "$work/linux$i/Files"
  first[linux]+="$(seconds "$work/linux$i/Updater/tamsel-updater" /UNATTENDED /SILENT) "
  again[linux]+="$(seconds "$work/linux$i/Updater/tamsel-updater" /UNATTENDED /SILENT) "
  make_kit "$work/wine$i" "$windows/src/win32/tamsel-updater.exe" "Z:$work/wine$i/Files"
  first[wine]+="$(seconds wine "$work/wine$i/Updater/tamsel-updater.exe" /UNATTENDED /SILENT) "
  again[wine]+="$(seconds wine "$work/wine$i/Updater/tamsel-updater.exe" /UNATTENDED /SILENT) "
done
printf '%-28s %10s %10s\n' "sample kit, seconds" "Linux" "Wine"
for kind in first again; do
  declare -n runs=$kind
  printf '%-28s %10s %10s\n' "$([ $kind = first ] && echo 'first update' || echo 'up-to-date check')" \
    "$(tr ' ' '\n' <<<"${runs[linux]}" | grep . | median)" \
    "$(tr ' ' '\n' <<<"${runs[wine]}" | grep . | median)"
done
