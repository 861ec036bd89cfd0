#!/usr/bin/env bash
# Cross-builds a static libsodium for 64-bit Windows with MinGW-w64 into PREFIX (default
# build-windows/libsodium): Debian packages none for MinGW, so its source tarball is fetched once
# from Debian's pool, checked against the hash Debian publishes for it, and built without tests
# (autoconf, automake and libtool make its configure script).
# A prefix that already holds the library is reused as it is.
#   scripts/build-mingw-libsodium.sh PREFIX
set -euo pipefail
prefix=$(realpath -m "${1:-build-windows/libsodium}")
version=1.0.18
tarball=libsodium_$version.orig.tar.gz
# From the Checksums-Sha256 field of libsodium_1.0.18-1.dsc.
sha256=d59323c6b712a1519a5daf710b68f5e7fde57040845ffec53850911f10a5d4f4
url=http://deb.debian.org/debian/pool/main/libs/libsodium/$tarball

if [ -f "$prefix/lib/libsodium.a" ] && [ -f "$prefix/lib/pkgconfig/libsodium.pc" ]; then
  exit 0
fi
cache=$prefix-cache
mkdir -p "$cache"
if ! echo "$sha256  $cache/$tarball" | sha256sum -c --status 2>/dev/null; then
  curl -fsSL --retry 3 -o "$cache/$tarball.part" "$url"
  mv "$cache/$tarball.part" "$cache/$tarball"
  echo "$sha256  $cache/$tarball" | sha256sum -c --quiet
fi
src=$cache/libsodium-$version
rm -rf "$src"
tar -xzf "$cache/$tarball" -C "$cache"
# The tarball's top folder has varied between releases.
[ -d "$src" ] || src=$(find "$cache" -mindepth 1 -maxdepth 1 -type d -name 'libsodium*' | head -1)
(
  cd "$src"
  # Debian's tarball is the source tree without a generated configure script.
  [ -x configure ] || ./autogen.sh -s >autogen.log 2>&1 || { tail -30 autogen.log; exit 1; }
  ./configure --host=x86_64-w64-mingw32 --prefix="$prefix" --disable-shared --enable-static \
    --disable-dependency-tracking --with-pic=no CC=x86_64-w64-mingw32-gcc-posix \
    CFLAGS="-O2" >configure.log 2>&1 || { tail -30 configure.log; exit 1; }
  make -j2 -C src >make.log 2>&1 || { tail -30 make.log; exit 1; }
  make -C src install >/dev/null
  make install-pkgconfigDATA >/dev/null 2>&1 || install -D -m644 libsodium.pc "$prefix/lib/pkgconfig/libsodium.pc"
)
rm -rf "$src"
