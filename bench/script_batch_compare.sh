#!/usr/bin/env bash
# Batch speed of vexcalc against bc -l and qalc on the same 10,000 lines of arithmetic
# (the engine benchmark's formulas), measured with hyperfine in one run.
#   bench/script_batch_compare.sh [build folder]   (default: build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/default}")
vexcalc="$build/bin/vexcalc"
[ -x "$vexcalc" ] || { echo "no $vexcalc: build first" >&2; exit 1; }
command -v hyperfine >/dev/null || { echo "hyperfine is not installed" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
lines=10000

# The same four formulas in each program's syntax; x = 1.5.
{
  printf 'Var = x; 1.5\r\n'
  for ((i = 0; i < lines; i += 4)); do
    printf 'Expr = 2+3*4\r\nExpr = (1+2)*(3+4)/5-6^2\r\nExpr = sin(0.5)+cos(0.3)*sqrt(2)\r\nExpr = x^3-2*x^2+x-1\r\n'
  done
} > "$work/big.vex"
{
  echo 'x=1.5'
  for ((i = 0; i < lines; i += 4)); do
    printf '2+3*4\n(1+2)*(3+4)/5-6^2\ns(0.5)+c(0.3)*sqrt(2)\nx^3-2*x^2+x-1\n'
  done
  echo 'quit'
} > "$work/big.bc"
{
  for ((i = 0; i < lines; i += 4)); do
    printf '2+3*4\n(1+2)*(3+4)/5-6^2\nsin(0.5 rad)+cos(0.3 rad)*sqrt(2)\n1.5^3-2*1.5^2+1.5-1\n'
  done
} > "$work/big.qalc"

commands=("$vexcalc --no-config --batch '/i big.vex /o out.vex /'" "bc -l big.bc")
if command -v qalc >/dev/null; then
  commands+=("qalc -t -f big.qalc < /dev/null")
else
  echo "qalc is not installed: compared with bc only" >&2
fi
cd "$work"
# qalc spends most of its wall time idle, so its runs are few: CPU time compares fairly.
hyperfine --warmup 1 --min-runs 2 --max-runs 10 \
  --export-json "$work/result.json" "${commands[@]}"
"$vexcalc" --no-config --batch '/i big.vex /o out.vex /' >/dev/null
echo "vexcalc report lines: $(grep -c 'Result =>' out.vex) of $lines"
python3 - "$work/result.json" "$lines" <<'PY'
import json, sys
lines = int(sys.argv[2])
for r in json.load(open(sys.argv[1]))["results"]:
    cpu = r["user"] + r["system"]
    print(f'{r["command"].split()[0].split("/")[-1]:8} wall {r["mean"]*1000:9.1f} ms '
          f'({lines / r["mean"]:10.0f} lines/s)  cpu {cpu*1000:9.1f} ms ({lines / cpu:10.0f} lines/s)')
PY
