#!/usr/bin/env bash
# A package of N small files (default 100,000) served by tamsel-server on loopback: the first
# update and the check of a kit already up to date, with the plain catalogue and with the same
# catalogue signed and carrying every file's sha256. Prints both and the signed kit's overhead.
#   bench/signed_kit.sh [BUILD_DIR] [N] [ROUNDS]   (a Release build with -DTAMSEL_BUILD_BENCH=ON)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
count=${2:-100000}
rounds=${3:-3}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSEL_BUILD_BENCH=ON -DTAMSEL_BUILD_QT=OFF >/dev/null
fi
cmake --build "$build" --target tamsel-signed-kit-bench tamsel-server >/dev/null
bench=$build/bench/engine/tamsel-signed-kit-bench

work=$(mktemp -d)
trap 'kill "${server_pid:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
key=$("$bench" make "$work/site" "$count")

"$build/tools/tamsel-server/tamsel-server" --port 0 --reports "$work/reports" "$work/site" >"$work/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do grep -q '^listening' "$work/server.log" && break; sleep 0.1; done
remote=$(sed -n 's/^listening on \(http:\/\/[^ ]*\)\/$/\1/p' "$work/server.log")

# Rounds alternate the two kits; the best of each counts, as other work on the machine only adds.
# Each run starts with the disk's writes of what went before flushed, so no kit pays for them.
for round in $(seq "$rounds"); do
  for kind in plain signed; do
    rm -rf "${work:?}/$kind" && mkdir -p "$work/$kind" && sync
    if [ "$kind" = plain ]; then
      "$bench" run "$remote" "$remote/Bench/catalogue.ini" /Bench "$work/plain" >>"$work/plain.txt"
    else
      "$bench" run "$remote" "$remote/Bench/signed.ini" /Bench "$work/signed" "$key" >>"$work/signed.txt"
    fi
  done
done
sed 's/^/unsigned run: /' "$work/plain.txt"
sed 's/^/signed run:   /' "$work/signed.txt"
best() { awk 'NR == 1 || $2 < f { f = $2 } NR == 1 || $6 < c { c = $6 }
              NR == 1 || $8 < fc { fc = $8 } NR == 1 || $9 < cc { cc = $9 } { n = $4 }
              END { printf "first %.3f files %d check %.3f cpu %.3f %.3f\n", f, n, c, fc, cc }' "$1"; }
plain=$(best "$work/plain.txt")
signed=$(best "$work/signed.txt")
echo "unsigned: $plain"
echo "signed:   $signed"
awk -v p="$plain" -v s="$signed" 'BEGIN {
  split(p, a, " "); split(s, b, " ");
  printf "overhead, wall clock: first update %+.1f %%, up-to-date check %+.1f %%\n",
         100 * (b[2] - a[2]) / a[2], 100 * (b[6] - a[6]) / a[6]
  printf "overhead, processor:  first update %+.1f %%, up-to-date check %+.1f %%\n",
         100 * (b[8] - a[8]) / a[8], 100 * (b[9] - a[9]) / a[9] }'
