#!/usr/bin/env bash
# Builds the calculator and starts it; arguments go to vexcalc.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
# Only the program and the library it loads: a first start compiles no tests or benchmarks.
cmake --build --preset default --target vexcalc zorbit gridentry
exec build/default/bin/vexcalc "$@"
