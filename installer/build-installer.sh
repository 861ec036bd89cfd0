#!/usr/bin/env bash
# Builds tamsel-setup.exe with NSIS from the programs of a Windows build.
# Usage: installer/build-installer.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: build-installer.sh BUILD_DIR}" && pwd)
programs="$build/installer-programs"
mkdir -p "$programs"
for program in src/win32/tamsel-updater tools/tamsel-install/tamsel-due-check \
               tools/tamsel-install/tamsel-kit-setup; do
  x86_64-w64-mingw32-strip -o "$programs/$(basename "$program").exe" "$build/$program.exe"
done
version=$(sed -n 's/^project(TamselUpdater VERSION \([0-9]*\)\.\([0-9]*\)\.\([0-9]*\).*/\1.\2.0.\3/p' \
  "$here/../CMakeLists.txt")
makensis -V2 -DVERSION="$version" -DPROGRAMS="$programs" -DOUTFILE="$build/tamsel-setup.exe" \
  "$here/tamsel-setup.nsi"
echo "built $build/tamsel-setup.exe"
