#!/usr/bin/env bash
# Times `tamsel-kit build` against `find -printf` over a tree of 30,000 files in 300 folders
# and prints the ratio (target: at most 2).
#
# Usage: bench/build_vs_find.sh [PATH_TO_TAMSEL_KIT]
# Default tool path: build/tools/tamsel-kit/tamsel-kit (configure with -DCMAKE_BUILD_TYPE=Release).
set -euo pipefail

kit=${1:-build/tools/tamsel-kit/tamsel-kit}
folders=300
files_per_folder=100
runs=5

if [[ ! -x $kit ]]; then
    echo "tamsel-kit not found at '$kit'" >&2
    exit 2
fi

tree=$(mktemp -d /tmp/tamsel-build-vs-find.XXXXXX)
trap 'rm -rf "$tree"' EXIT

# 300 folders, three levels deep in places, 100 small files each.
for ((f = 0; f < folders; f++)); do
    dir="$tree/Region$((f % 10))/Group$((f % 30))/Folder$f"
    mkdir -p "$dir"
    (cd "$dir" && for ((i = 0; i < files_per_folder; i++)); do printf '%d' "$i" > "Slide $i.pot"; done)
done
count=$(find "$tree" -type f | wc -l)

# Best of several runs, in milliseconds, output discarded.
best_ms() {
    local best=""
    for ((r = 0; r < runs; r++)); do
        local start end ms
        start=$(date +%s%N)
        "$@" > /dev/null
        end=$(date +%s%N)
        ms=$(( (end - start) / 1000000 ))
        if [[ -z $best || $ms -lt $best ]]; then best=$ms; fi
    done
    echo "$best"
}

# Warm the cache once so both read the same cached metadata.
find "$tree" -type f -printf '%P %s %TY\n' > /dev/null

find_ms=$(best_ms find "$tree" -type f -printf '%P %s %TY\n')
kit_ms=$(best_ms "$kit" build "$tree" --user bench)

echo "files: $count"
echo "find -printf:     ${find_ms} ms"
echo "tamsel-kit build: ${kit_ms} ms"
awk -v k="$kit_ms" -v f="$find_ms" 'BEGIN {
    if (f < 1) f = 1;
    printf "ratio build/find: %.2f (target <= 2)\n", k / f
}'
