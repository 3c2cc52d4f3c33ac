#!/usr/bin/env bash
# Builds the release (-O3) and installs the calculator into a prefix (default ~/.local):
# the program, libzorbit with its header, pkg-config file and CMake package, the man
# page, and the desktop entry with its icon and the .vxc file type. Then it refreshes
# the desktop's file-type and menu caches under that prefix.
#   scripts/install.sh [prefix]
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=${1:-$HOME/.local}
scripts/install-deps.sh
cmake --preset release >/dev/null
# Only what is installed: no tests or benchmarks are compiled.
cmake --build --preset release --target vex_installables

sudo_cmd=()
mkdir -p "$prefix" 2>/dev/null || true
if [ ! -w "$prefix" ] && [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
"${sudo_cmd[@]}" cmake --install build/release --prefix "$prefix" --strip

share=$prefix/share
if command -v update-mime-database >/dev/null; then
    "${sudo_cmd[@]}" update-mime-database "$share/mime"
fi
if command -v update-desktop-database >/dev/null; then
    "${sudo_cmd[@]}" update-desktop-database "$share/applications"
fi
if [ -f "$share/icons/hicolor/index.theme" ] && command -v gtk-update-icon-cache >/dev/null; then
    "${sudo_cmd[@]}" gtk-update-icon-cache -q "$share/icons/hicolor" || true
fi
echo "install: vexcalc is in $prefix/bin"
case ":$PATH:" in
*":$prefix/bin:"*) ;;
*) echo "install: $prefix/bin is not on PATH; the menu entry starts \"vexcalc\" from PATH" ;;
esac
