#!/usr/bin/env bash
# The installer under Wine, in a Wine prefix of its own: a silent install without a server is
# refused; a silent install with one leaves the programs, the settings, the Start menu shortcut,
# the installed-programs entry and the scheduled task's definition; the silent uninstall removes
# that integration and leaves the kit.
# Usage: tests/win32/installer-test.sh BUILD_DIR (holding tamsel-setup.exe)
set -uo pipefail
build=$(cd "${1:?usage: installer-test.sh BUILD_DIR}" && pwd)
export WINEPREFIX=$(mktemp -d "$build/installer-prefix.XXXXXX")
export WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
has() { grep -qF -- "$2" "$1" 2>/dev/null; }
# Wine writes UTF-16 for some files; compare their text as UTF-8.
text_of() { iconv -f UTF-16 -t UTF-8 "$1" 2>/dev/null || cat "$1"; }

# The prefix's first start ends before the installer runs, as on a machine in use: Wine's task
# scheduler takes no task in the session that set the prefix up.
wine wineboot -i >/dev/null 2>&1
wineserver -w
user_dir="$WINEPREFIX/drive_c/users/$(whoami)"
kit="$user_dir/AppData/Local/Tamsel"
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tamsel Updater.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\TamselUpdater'
key_text() { wine reg query "$key" 2>/dev/null | tr -d '\r' | grep REG_; }

wine "$build/tamsel-setup.exe" /S /USER=Nobody
check "a silent install without /REMOTE fails" test $? -eq 2
check "and installs nothing" test ! -e "$kit"

# As an IT department deploys it: a command line as Windows passes it, from a batch file.
key_value='RWQf6LRCGA9i53mlYecO4IzT51TGPpvWucNSCh1CBM0QTaLn73Y7GFO3'
printf '%s /S /REMOTE=http://127.0.0.1:9/kit /USER="Jo Smith" /DEPARTMENT=Sales %s\r\n%s\r\n' \
  "$(winepath -w "$build/tamsel-setup.exe" 2>/dev/null)" \
  "/EMAIL=jo@example.com /PUBLICKEY=$key_value" 'exit /b %errorlevel%' > "$WINEPREFIX/deploy.bat"
wine cmd /c "$(winepath -w "$WINEPREFIX/deploy.bat" 2>/dev/null)" >/dev/null
check "the silent install succeeds" test $? -eq 0
wineserver -w
for file in Updater/tamsel-updater.exe Updater/tamsel-due-check.exe Uninstall.exe Files; do
  check "installed $file" test -e "$kit/$file"
done
check "the installer's settings writer is not left behind" \
  test ! -e "$kit/Updater/tamsel-kit-setup.exe"
check "remote in the global settings" has "$kit/globaltamselupdater.ini" 'remote="http://127.0.0.1:9/kit"'
check "public key in the global settings" has "$kit/globaltamselupdater.ini" "$key_value"
for value in '"Jo Smith"' '"Sales"' '"jo@example.com"' \
             "local=\"C:\\users\\$(whoami)\\AppData\\Local\\Tamsel\\Files\""; do
  check "$value in the local settings" has "$kit/localtamselupdater.ini" "$value"
done
check "the schedule file" has "$kit/tamsel.ini" "RunAtDate="
check "the Start menu shortcut" test -e "$shortcut"
key_text > "$WINEPREFIX/key.txt"
for value in "DisplayName    REG_SZ    Tamsel Updater" 'Uninstall.exe" /S' DisplayVersion; do
  check "installed-programs entry: $value" has "$WINEPREFIX/key.txt" "$value"
done
# The task is registered with the scheduler (Wine's keeps a file per task, without the triggers
# and the action, which it does not run); the definition the installer gave it has them.
registered() {
  find "$WINEPREFIX/drive_c/windows/system32" -maxdepth 2 -ipath '*/tasks/Tamsel Updater due check'
}
task=$(registered)
check "the task is registered with the scheduler" test -n "$task"
text_of "${task:-/dev/null}" > "$WINEPREFIX/task.xml"
check "the registered task is the kit's" has "$WINEPREFIX/task.xml" 'kit in C:\users'
text_of "$kit/Updater/tamsel-due-check.xml" > "$WINEPREFIX/definition.xml"
for part in "<DaysInterval>1</DaysInterval>" "<RandomDelay>PT1H</RandomDelay>" "<LogonTrigger>" \
            '\Updater\tamsel-due-check.exe</Command>' '\AppData\Local\Tamsel"</Arguments>' \
            "<RunLevel>LeastPrivilege</RunLevel>" "<StartWhenAvailable>true</StartWhenAvailable>"; do
  check "the task's definition: $part" has "$WINEPREFIX/definition.xml" "$part"
done

echo "a template" > "$kit/Files/deck.pot"
wine "$kit/Uninstall.exe" /S
wineserver -w
check "the uninstaller removes the shortcut" test ! -e "$shortcut"
check "and itself" test ! -e "$kit/Uninstall.exe"
check "and the installed-programs entry" test -z "$(key_text)"
check "and the task" test -z "$(registered)"
for file in Files/deck.pot globaltamselupdater.ini localtamselupdater.ini tamsel.ini \
            Updater/tamsel-updater.exe; do
  check "the kit keeps $file" test -e "$kit/$file"
done
[ "$failures" -eq 0 ] && echo "installer test passed" || echo "installer test: $failures failed"
exit $((failures > 0))
