#!/usr/bin/env bash
# Fuzzes the version reader with libFuzzer for a bounded time (default 60 seconds), starting
# from the PE fixtures. Needs clang and its fuzzer runtime (Debian: clang, libclang-rt-dev).
# Usage: scripts/fuzz-version-info.sh [SECONDS]
set -euo pipefail
if ! command -v clang++ >/dev/null; then
  [ "$(id -u)" -eq 0 ] && SUDO="" || SUDO="sudo"
  $SUDO apt-get install -y -q clang libclang-rt-14-dev
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds=${1:-60}
work="${TMPDIR:-/tmp}/tamsel-fuzz-version-info"
mkdir -p "$work/corpus"
cp "$root"/tests/data/version/* "$work/corpus/"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src" \
  "$root/tests/fuzz/VersionInfoFuzz.cpp" \
  "$root/src/reporting/PeVersionBlock.cpp" \
  "$root/src/reporting/ElfVersionBlock.cpp" \
  "$root/src/reporting/VersionResource.cpp" \
  "$root/src/util/Utf8.cpp" \
  -o "$work/fuzz-version-info"
"$work/fuzz-version-info" -max_total_time="$seconds" -max_len=65536 -timeout=5 \
  -artifact_prefix="$work/" "$work/corpus"
