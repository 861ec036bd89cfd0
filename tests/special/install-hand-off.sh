#!/usr/bin/env bash
# The installer's hand-offs from the command line, against a registry kept in files: the updater
# copied into a kit with an add-in in a folder beside it, started with "/install", then with
# "/remove"; the name given is in another letter case than the file's.
# Usage: install-hand-off.sh PATH_TO_TAMSEL_UPDATER
set -euo pipefail
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Kit/Updater/Add-ins" "$work/registry"
cp "$1" "$work/Kit/Updater/tamsel-updater"
echo add-in > "$work/Kit/Updater/Add-ins/Tamsel Tools.ppa"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office\\11.0\\PowerPoint]\r\n\r\n' \
  > "$work/registry/HKEY_LOCAL_MACHINE.reg"
# The lock, the registry and the desktop folders are the test's own, so runs side by side and a
# user's own updater never meet.
mkdir -m 700 "$work/runtime"
export TAMSEL_REGISTRY="$work/registry" QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" \
  XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"

timeout 60 "$work/Kit/Updater/tamsel-updater" /install add-ins/tamsel tools.ppa
user="$work/registry/HKEY_CURRENT_USER.reg"
grep -qF '[HKEY_CURRENT_USER\Software\Microsoft\Office\11.0\PowerPoint\AddIns\TAMSEL TOOLS]' "$user" ||
  { echo "add-in key missing:"; cat "$user"; exit 1; }
grep -qF '"AutoLoad"=dword:ffffffff' "$user" || { echo "AutoLoad missing"; cat "$user"; exit 1; }
grep -qF "\"Path\"=\"$work/Kit/Updater/Add-ins/Tamsel Tools.ppa\"" "$user" ||
  { echo "Path is not the file's own:"; cat "$user"; exit 1; }

timeout 60 "$work/Kit/Updater/tamsel-updater" /remove ADD-INS/TAMSEL TOOLS.PPA
if grep -qF 'AddIns\TAMSEL TOOLS]' "$user"; then
  echo "add-in still registered:"; cat "$user"; exit 1
fi
echo "install and remove hand-offs passed"
