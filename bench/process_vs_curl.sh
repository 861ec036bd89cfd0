#!/usr/bin/env bash
# Processing 1,000 new files of 1 KiB each: the updater's processing dialog against tamsel-server
# on loopback, compared with curl fetching the same 1,000 URLs in one invocation.
#   bench/process_vs_curl.sh [BUILD_DIR]   (a Release build with -DTAMSEL_BUILD_BENCH=ON)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
if [ ! -x "$build/bench/engine/tamsel-process-bench" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSEL_BUILD_BENCH=ON -DTAMSEL_BUILD_QT=OFF >/dev/null
fi
cmake --build "$build" --target tamsel-process-bench tamsel-server >/dev/null

work=$(mktemp -d)
trap 'kill "${server_pid:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
site=$work/site
mkdir -p "$site/Bench/PowerPoint/Files"
head -c 1024 /dev/urandom >"$work/one-kib"
{
  for i in $(seq -w 1 1000); do
    cp "$work/one-kib" "$site/Bench/PowerPoint/Files/file$i.pot"
    printf 'url="/Files/file%s.pot" date="01/02/2024" size="1024"\r\n' "$i"
  done
} >"$site/Bench/catalogue.ini"

"$build/tools/tamsel-server/tamsel-server" --port 0 --reports "$work/reports" "$site" >"$work/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do grep -q '^listening' "$work/server.log" && break; sleep 0.1; done
remote=$(sed -n 's/^listening on \(http:\/\/[^ ]*\)\/$/\1/p' "$work/server.log")

mkdir -p "$work/kit"
updater=$("$build/bench/engine/tamsel-process-bench" "$remote" "$remote/Bench/catalogue.ini" /Bench "$work/kit")
updater_seconds=$(echo "$updater" | awk '{print $4}')

mkdir -p "$work/curl"
args=()
for i in $(seq -w 1 1000); do
  args+=(-o "$work/curl/file$i.pot" "$remote/Bench/PowerPoint/Files/file$i.pot")
done
start=$(date +%s.%N)
curl -s "${args[@]}"
end=$(date +%s.%N)
curl_seconds=$(echo "$end - $start" | bc -l)

echo "updater: $updater"
printf 'curl:    files 1000  seconds %.3f\n' "$curl_seconds"
printf 'ratio:   %.2f\n' "$(echo "$updater_seconds / $curl_seconds" | bc -l)"
