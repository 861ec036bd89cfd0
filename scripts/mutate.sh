#!/usr/bin/env bash
# Plants each mutant of a list in the source, one at a time, rebuilds what it touches, runs the
# tests it names and prints CAUGHT (a test failed) or SURVIVED (all passed) per mutant, then the
# total. The source is restored after every mutant, also when the script is stopped.
#
# Usage: scripts/mutate.sh [BUILD_DIR] [LIST] [NAME_PATTERN]
#   BUILD_DIR     a configured build tree (default: build)
#   LIST          the mutants (default: tests/mutants.txt)
#   NAME_PATTERN  only the mutants whose file or original text contains it
#
# A line of the list is: file, line, original text, replacement (may be empty), test programs
# (space separated; none: the whole suite) and optionally a GoogleTest filter, separated by tabs;
# "#" starts a comment line. The line number is a hint: the original text is looked for in the
# whole file and the occurrence nearest the hint is replaced, so that edits elsewhere in the file
# do not lose the mutant. A mutant whose text is no longer in its file is reported MISSING and
# counts against the score; one that does not compile is INVALID and does not count.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build}"
list="${2:-$root/tests/mutants.txt}"
only="${3:-}"
cd "$root"
# Compiled afresh: a cached object of another tree must never stand in for a mutant.
export CCACHE_DISABLE=1
[ -f "$build/build.ninja" ] || { echo "no configured build in $build" >&2; exit 2; }

backup=""
target=""
restore() {
  if [ -n "$backup" ]; then
    # Copied back without its old time, so that ninja rebuilds the original.
    cat "$backup" >"$target"
    rm -f "$backup"
    backup=""
  fi
}
trap 'restore; exit 130' INT TERM
trap restore EXIT

# Prints the number of the line holding the text that lies nearest the hint, or nothing.
nearest_line() {
  TEXT="$2" HINT="$3" awk '
    BEGIN { text = ENVIRON["TEXT"]; hint = ENVIRON["HINT"] }
    index($0, text) { d = NR - hint; if (d < 0) d = -d; if (best == "" || d < bestd) { best = NR; bestd = d } }
    END { if (best != "") print best }' "$1"
}

# Replaces the first occurrence of the text on the given line, without patterns.
replace_on_line() {
  TEXT="$2" WITH="$3" AT="$4" awk '
    BEGIN { text = ENVIRON["TEXT"]; with = ENVIRON["WITH"]; at = ENVIRON["AT"] }
    NR == at { i = index($0, text); $0 = substr($0, 1, i - 1) with substr($0, i + length(text)) }
    { print }' "$1"
}

caught=0
total=0
# A field of the entry; cut keeps empty fields where read would merge the tabs around them.
field() { printf '%s\n' "$entry" | cut -f"$1"; }
while IFS= read -r entry; do
  case "$entry" in '' | '#'*) continue ;; esac
  file=$(field 1) hint=$(field 2) original=$(field 3) replacement=$(field 4)
  programs=$(field 5) filter=$(field 6)
  if [ -n "$only" ] && [[ "$file" != *"$only"* && "$original" != *"$only"* ]]; then
    continue
  fi
  total=$((total + 1))
  label="$file:$hint  '$original' -> '$replacement'"
  line=$(nearest_line "$file" "$original" "$hint")
  if [ -z "$line" ]; then
    echo "MISSING  $label"
    continue
  fi
  target="$file"
  backup=$(mktemp)
  cp "$file" "$backup"
  replace_on_line "$backup" "$original" "$replacement" "$line" >"$file"

  outcome="SURVIVED"
  # shellcheck disable=SC2086
  if ! ninja -C "$build" $programs </dev/null >/dev/null 2>&1; then
    outcome="INVALID (does not build)"
  elif [ -z "$programs" ]; then
    # No programs named: the whole suite.
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" -j2 </dev/null >/dev/null 2>&1 ||
      outcome="CAUGHT"
  else
    for program in $programs; do
      path=$(find "$build" -name "$program" -type f -perm -u+x -print -quit)
      if [ -z "$path" ]; then
        outcome="SURVIVED (no program $program)"
        break
      fi
      if ! QT_QPA_PLATFORM=offscreen timeout 300 "$path" ${filter:+"--gtest_filter=$filter"} \
        </dev/null >/dev/null 2>&1; then
        outcome="CAUGHT"
        break
      fi
    done
  fi
  restore
  [[ "$outcome" == CAUGHT* ]] && caught=$((caught + 1))
  [[ "$outcome" == INVALID* ]] && total=$((total - 1))
  echo "$outcome  $label"
done <"$list"

# The build is left as the source is.
ninja -C "$build" >/dev/null 2>&1 || echo "note: the build of the restored source failed" >&2
[ "$total" -gt 0 ] || { echo "no mutants"; exit 2; }
echo "caught $caught of $total ($((100 * caught / total)) %)"
