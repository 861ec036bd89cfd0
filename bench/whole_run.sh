#!/usr/bin/env bash
# Whole runs of the updater against tamsel-server on loopback, median of 5 each, beside curl
# fetching the same files:
#   - the sample kit's first update (a fresh kit each time),
#   - the same kit checked again when it is up to date,
#   - the processing of 1,000 files of 1 KiB (bench/process_vs_curl.sh).
# Runs are unattended background runs ("/UNATTENDED /SILENT", a registered user, the sample kit's
# default packages), as the scheduled runs of a user's desktop are.
#   bench/whole_run.sh [BUILD_DIR]   (default build-bench: Release, benchmarks on)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSEL_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target tamsel-updater tamsel-server tamsel-process-bench >/dev/null

work=$(mktemp -d)
trap 'kill "${server_pid:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
"$build/tools/tamsel-server/tamsel-server" --port 0 --reports "$work/reports" data/sample-kit \
  >"$work/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do grep -q '^listening' "$work/server.log" && break; sleep 0.1; done
remote=$(sed -n 's/^listening on \(http:\/\/[^ ]*\)\/$/\1/p' "$work/server.log")

# Lays out a registered user's kit in $1 whose package history holds every package.
make_kit() {
  local kit=$1
  mkdir -p "$kit/Updater" "$kit/Files"
  cp "$build/src/qt/tamsel-updater" "$kit/Updater/"
  printf 'remote="%s"\r\nprimary_catalogue="Tam-Sel Main Catalogue.ini"\r\nsecondary_catalogue="catalogue.ini"\r\n' \
    "$remote" >"$kit/globaltamselupdater.ini"
  printf 'username="Bench User"\r\ndepartment="Bench"\r\nemail="bench@example.com"\r\nautoupdate="Weekly"\r\nlastupdated=""\r\nlocal="%s"\r\n' \
    "$kit/Files" >"$kit/localtamselupdater.ini"
  printf '[Tamsel]\r\nRunAtDate=\r\n' >"$kit/tamsel.ini"
}

# Prints the seconds one command takes.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

median() { sort -g | awk '{ v[NR] = $1 } END { printf "%.3f", v[int((NR + 1) / 2)] }'; }

first=()
again=()
for i in 1 2 3 4 5; do
  kit=$work/kit$i
  make_kit "$kit"
  first+=("$(seconds "$kit/Updater/tamsel-updater" /UNATTENDED /SILENT)")
  again+=("$(seconds "$kit/Updater/tamsel-updater" /UNATTENDED /SILENT)")
done
files=$(find "$work/kit1/Files" -type f | wc -l)

# curl fetches the same files in one invocation.
curls=()
for i in 1 2 3 4 5; do
  args=()
  while IFS= read -r path; do
    rel=${path#data/sample-kit/}
    args+=(-o "$work/curl$i/$rel" "$remote/$(printf '%s' "$rel" | sed 's/ /%20/g')")
  done < <(find data/sample-kit -type f ! -name '*.ini')
  curls+=("$(seconds curl -s --create-dirs "${args[@]}")")
done

printf 'sample kit, first update (%d files): %s s   (target < 1 s)\n' "$files" \
  "$(printf '%s\n' "${first[@]}" | median)"
printf 'sample kit, up to date:               %s s   (target < 0.5 s)\n' \
  "$(printf '%s\n' "${again[@]}" | median)"
printf 'curl, the same files:                 %s s\n' "$(printf '%s\n' "${curls[@]}" | median)"
echo "1,000 files of 1 KiB:"
bench/process_vs_curl.sh "$build" | sed 's/^/  /'
