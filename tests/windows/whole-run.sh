#!/usr/bin/env bash
# A whole unattended run of the Windows updater under Wine against tamsel-server of the Linux
# build on loopback: the sample kit is fetched into a fresh kit, its add-in is registered in
# Wine's registry for PowerPoint 2003, and the update log is written and uploaded.
#   tests/windows/whole-run.sh BUILD_DIR LINUX_BUILD_DIR   (WINEPREFIX set by the caller)
set -euo pipefail
cd "$(dirname "$0")/../.."
build_dir=$1
server=$2/tools/tamsel-server/tamsel-server
work=$(mktemp -d)
trap 'kill "${server_pid:-0}" 2>/dev/null || true; [ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
fail() { echo "whole run: $*" >&2; exit 1; }

"$server" --port 0 --reports "$work/reports" data/sample-kit >"$work/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do grep -q '^listening on ' "$work/server.log" && break; sleep 0.1; done
remote=$(sed -n 's/^listening on \(http:\/\/[^ ]*\)\/$/\1/p' "$work/server.log")
[ -n "$remote" ] || fail "tamsel-server did not start"

# The kit as a Windows user has it: paths in the settings written with "\".
kit=$work/Kit
windows_kit="Z:$(echo "$kit" | tr / '\\')"
mkdir -p "$kit/Updater" "$kit/Files"
cp "$build_dir/src/win32/tamsel-updater.exe" "$kit/Updater/"
printf 'remote="%s"\r\nprimary_catalogue="Tam-Sel Main Catalogue.ini"\r\nsecondary_catalogue="catalogue.ini"\r\n' \
  "$remote" >"$kit/globaltamselupdater.ini"
printf 'username="Wine User"\r\ndepartment="Windows"\r\nemail="wine.user@example.com"\r\nautoupdate="Weekly"\r\nlastupdated=""\r\nlocal="%s\\Files"\r\n' \
  "$windows_kit" >"$kit/localtamselupdater.ini"
printf '[Tamsel]\r\nRunAtDate=\r\n' >"$kit/tamsel.ini"

addins='HKCU\Software\Microsoft\Office\11.0\PowerPoint\AddIns\Tamsel Tools'
wine reg add 'HKLM\Software\Microsoft\Office\11.0\PowerPoint' /f >/dev/null 2>&1
wine reg delete "$addins" /f >/dev/null 2>&1 || true

wine "$kit/Updater/tamsel-updater.exe" /UNATTENDED /SILENT >"$work/run.log" 2>&1 ||
  { tr -d '\r' <"$work/run.log"; fail "the updater did not finish"; }

# The essentials and the Sales templates chosen by default, each dated 06:00 of its catalogue date.
got=$(find "$kit/Files" -type f | wc -l)
[ "$got" -eq 7 ] || fail "$got files in the kit"
[ "$(date -r "$kit/Files/Tamsel Readme.txt" '+%d/%m/%Y %H:%M')" = "20/05/2024 06:00" ] ||
  fail "the readme is not dated 20/05/2024 06:00"
[ -f "$kit/Special/Tamsel Tools.ppa" ] || fail "the special file was not fetched"
query=$(wine reg query "$addins" 2>/dev/null | tr -d '\r')
grep -q 'AutoLoad.*REG_DWORD.*0xffffffff' <<<"$query" || fail "no AutoLoad in: $query"
grep -qF "Path    REG_SZ    $windows_kit\\Special\\Tamsel Tools.ppa" <<<"$query" ||
  fail "no Path in: $query"
grep -q 'lastupdated="[0-9]' "$kit/localtamselupdater.ini" || fail "lastupdated not written"
[ -s "$kit/tamsel_updater_log.txt" ] || fail "no update log beside the kit folder"
ls "$work/reports"/* >/dev/null 2>&1 || fail "the update log was not uploaded"
echo "whole run: $got files, add-in registered, log written and uploaded"
