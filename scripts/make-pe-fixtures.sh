#!/usr/bin/env bash
# Builds the small Windows executables and libraries that the version-information tests read,
# with Debian's mingw-w64 cross compilers and windres, into tests/data/version. Run it again
# only when a fixture must change, and commit what it writes.
set -euo pipefail
if ! command -v x86_64-w64-mingw32-gcc >/dev/null; then
  [ "$(id -u)" -eq 0 ] && SUDO="" || SUDO="sudo"
  $SUDO apt-get install -y -q gcc-mingw-w64-i686-win32 gcc-mingw-w64-x86-64-win32 binutils-mingw-w64
fi
out="$(cd "$(dirname "$0")/.." && pwd)/tests/data/version"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# A program that does nothing: no C runtime, so each fixture is a few kilobytes.
cat > "$work/entry.c" <<'C'
int entry(void) { return 0; }
C

# build ARCH OUTPUT KIND [RC]: links entry.c for i686 (PE32) or x86_64 (PE32+), as an
# executable or a library, with the resource script when one is given.
build() {
  local arch=$1 output=$2 kind=$3 rc=${4:-}
  local objects=("$work/entry-$arch.o")
  "$arch-w64-mingw32-gcc" -Os -c "$work/entry.c" -o "$work/entry-$arch.o"
  if [ -n "$rc" ]; then
    printf '%s\n' "$rc" > "$work/$output.rc"
    "$arch-w64-mingw32-windres" "$work/$output.rc" -O coff -o "$work/$output.res.o"
    objects+=("$work/$output.res.o")
  fi
  local entry=entry
  [ "$arch" = i686 ] && entry=_entry  # 32-bit symbols carry a leading underscore
  local flags=(-nostdlib -s -e "$entry")
  [ "$kind" = dll ] && flags+=(-shared)
  "$arch-w64-mingw32-gcc" "${flags[@]}" "${objects[@]}" -o "$out/$output"
}

# A PE32 program: version 2.5.3.7, debug and pre-release flags, NT-Win32, strings in the
# translation's own language (UK English, code page 1252).
build i686 app32.exe exe '
#include <winver.h>
1 VERSIONINFO
FILEVERSION 2,5,3,7
PRODUCTVERSION 1,4,0,16
FILEFLAGSMASK 0x3F
FILEFLAGS 0x3
FILEOS 0x40004
FILETYPE 1
FILESUBTYPE 0
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "080904E4"
    BEGIN
      VALUE "CompanyName", "Tam-Sel Ltd."
      VALUE "FileDescription", "Fixture program"
      VALUE "FileVersion", "2.5.3.7"
      VALUE "InternalName", "app32"
      VALUE "LegalCopyright", "Copyright Tam-Sel Ltd."
      VALUE "OriginalFilename", "app32.exe"
      VALUE "ProductName", "Tamsel Updater"
      VALUE "ProductVersion", "1.4.0.16"
      VALUE "Comments", "PE32"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x0809, 1252
  END
END'

# A PE32+ library: a version word above 32767, a driver type with the display subtype, and a
# translation naming German while the strings are filed under US English.
build x86_64 lib64.dll dll '
#include <winver.h>
1 VERSIONINFO
FILEVERSION 1,40000,0,5
PRODUCTVERSION 3,0,12,34
FILEFLAGSMASK 0x3F
FILEFLAGS 0x24
FILEOS 0x4
FILETYPE 3
FILESUBTYPE 4
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904B0"
    BEGIN
      VALUE "CompanyName", "Other Company"
      VALUE "ProductName", "Something Else"
      VALUE "ProductVersion", "3.0.12.34"
      VALUE "SpecialBuild", "lib64"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x0407, 1200
  END
END'

# A PE32+ program without any resources.
build x86_64 plain64.exe exe
ls -l "$out"
