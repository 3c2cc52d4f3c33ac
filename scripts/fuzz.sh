#!/usr/bin/env bash
# Runs every fuzz target of build/fuzz for the given number of seconds each,
# starting from its seed corpus in fuzz/corpus/<target>.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
bin=build/fuzz/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
for target in "$bin"/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$work/$name"
  mkdir -p "$corpus"
  [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$corpus/"
  echo "-- $name for ${seconds}s"
  if (cd "$work" && ASAN_OPTIONS=detect_leaks=1 "$OLDPWD/$target" -max_total_time="$seconds" \
        -rss_limit_mb=4096 -max_len=200000 -timeout=10 -print_final_stats=0 "$corpus" \
        >"$work/$name.log" 2>&1); then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    tail -n 60 "$work/$name.log"
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
