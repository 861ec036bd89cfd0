#!/usr/bin/env bash
# Prints the size of the tests against the size of the code: non-blank, non-comment lines of C++ in
# tests/ over those in src/ and tools/. The project keeps the ratio at or below 0.38.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \) -print0 |
    xargs -0 cat | grep -cvE '^\s*(//.*)?$'
}
tests=$(count tests)
code=$(count src tools)
awk -v t="$tests" -v c="$code" 'BEGIN { printf "tests %d / code %d = %.2f\n", t, c, t / c }'
