#!/usr/bin/env bash
# Takes the main window's pictures in docs/ under a virtual X server: a few lines
# entered, once in each colour scheme, and a formula being typed with its live result;
# then two plot windows side by side, a smooth
# curve and one with a pole; and the matrix-entry window with a 3x3 grid being filled.
# Needs xvfb and xauth (see install-deps.sh).
# The windows grab themselves once they have painted, so nothing races a fixed sleep.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset default >/dev/null
cmake --build --preset default -j2 --target window_shot plot_shot grid_shot vexcalc >/dev/null

runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
unset QT_QPA_PLATFORM

# An expression, a matrix defined and used, an error, and a derivative.
lines=(
    "(1+2)*3/4"
    "Matr = [mA]; 2; 2; 1; 2; 3; 4"
    "[mA]*[mA]"
    "1/(2+"
    "sDiff(x) = x^3*sin(x)"
)

shot() {
    # xvfb-run's own screen is 8 bits deep: ask for true colour.
    xvfb-run -a -s "-screen 0 1024x768x24" \
        build/default/bin/window_shot --size 480x415 --out "$1" "${@:2}" "${lines[@]}"
}

shot docs/main-window-dark.png
shot docs/main-window-light.png --light

# A formula being typed: its value shows under the entry line before Enter.
xvfb-run -a -s "-screen 0 1024x768x24" \
    build/default/bin/window_shot --size 480x300 --out docs/live-result.png \
    --typing "pi*r^2*ans" "Var = r ; 2.5" "3*4"

# One run with both plot lines, so the second window opens beside the first. 200 steps
# over -1..1 land on x = 0, the point 1/x leaves out.
xvfb-run -a -s "-screen 0 1024x768x24" build/default/bin/plot_shot \
    --out docs/plot-sin.png "Plot(-2*pi; 2*pi) = sin(x)" \
    --out docs/plot-pole.png "Plot(-1; 1) = 1/x"
xvfb-run -a -s "-screen 0 1024x768x24" build/default/bin/grid_shot --out docs/matrix-entry.png
echo "docs/main-window-dark.png docs/main-window-light.png docs/live-result.png" \
     "docs/plot-sin.png docs/plot-pole.png" \
     "docs/matrix-entry.png"
