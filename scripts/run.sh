#!/usr/bin/env bash
# Builds the calculator and starts it; arguments go to vexcalc.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
exec build/default/bin/vexcalc "$@"
