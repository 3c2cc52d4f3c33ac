#!/usr/bin/env bash
# Takes the main window's pictures in docs/ under a virtual X server: a few lines
# entered, once in each colour scheme; the completion list; a formula's colours in both
# schemes; a line that failed with its error marked; a formula being typed with its live result; then plot windows side by side: a
# smooth curve, tan(x) in its branches, two curves with their legend and 1/x with its
# pole; a plot's status line reading the curve; and the matrix-entry window with a 3x3
# grid being filled.
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

# The completion list open under the entry line, names of this run among the built-ins.
xvfb-run -a -s "-screen 0 1024x768x24" build/default/bin/window_shot --size 480x415 \
    --type "2*s" --out docs/completion.png \
    "Var = speed; 12.5" "Funct = hyp(a; b); sqrt(a^2+b^2)" "hyp(3; 4)*speed"
# Colours in both schemes: the list's rows, and a line being typed whose caret stands
# after a bracket (it and its partner highlighted) with an unmatched one before them.
colours=(
    "Var = x; 4"
    "sqrt(16)+x*2.5e1"
    "Matr = [mA]; 2; 2; 1; 2; 3; 4"
    "det([mA]T)*&FF mod 7"
    "1/(2+"
)
for scheme in dark light; do
    xvfb-run -a -s "-screen 0 1024x768x24" build/default/bin/window_shot --size 480x300 \
        $([ $scheme = light ] && echo --light) --type "(1+(2*x)" \
        --out docs/colours-$scheme.png "${colours[@]}"
done

# A line that failed: it stays in the entry line with the place of the error marked.
xvfb-run -a -s "-screen 0 1024x768x24" build/default/bin/window_shot --size 480x300 \
    --out docs/error-position.png "Var = r ; 2.5" "2*r+sqrt(r*)-1"

# A formula being typed: its value shows under the entry line before Enter.
xvfb-run -a -s "-screen 0 1024x768x24" \
    build/default/bin/window_shot --size 480x300 --out docs/live-result.png \
    --type "ans*pi*r^2" "Var = r ; 2.5" "3*4"

# One run with every plot line, so each window opens beside the one before. 200 steps
# over -1..1 land on x = 0, the point 1/x leaves out.
xvfb-run -a -s "-screen 0 1024x768x24" build/default/bin/plot_shot \
    --out docs/plot-sin.png "Plot(-2*pi; 2*pi) = sin(x)" \
    --out docs/plot-tan.png "Plot(-2*pi; 2*pi; 400) = tan(x)" \
    --out docs/plot-curves.png "Plot(-pi; pi; 200) = sin(x); cos(x)" \
    --out docs/plot-pole.png "Plot(-1; 1) = 1/x"
# The status line's read-out with Shift held: the pointer over the graph, snapped to the
# curve's nearest point.
xvfb-run -a -s "-screen 0 1024x768x24" build/default/bin/plot_shot \
    --pointer 270,120,shift --out docs/plot-readout.png "Plot(-2*pi; 2*pi) = sin(x)"
xvfb-run -a -s "-screen 0 1024x768x24" build/default/bin/grid_shot --out docs/matrix-entry.png
echo "docs/main-window-dark.png docs/main-window-light.png docs/completion.png" \
     "docs/colours-dark.png docs/colours-light.png docs/error-position.png docs/live-result.png docs/plot-sin.png" \
     "docs/plot-tan.png docs/plot-curves.png docs/plot-pole.png docs/plot-readout.png" \
     "docs/matrix-entry.png"
