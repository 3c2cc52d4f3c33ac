#!/usr/bin/env bash
# Installs a built tree into a temporary prefix and checks what was installed.
# Run: install_check.sh <build dir> <cmake> <C compiler> <generator> <make program>
set -euo pipefail
build=$1 cmake=$2 cc=$3 generator=$4 make_program=$5
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# $1 must contain the fixed string $2.
expect_in() {
    grep -qF -- "$2" <<<"$1" || fail "$3: no \"$2\" in: $1"
}

"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" ||
    { cat "$work/install.log" >&2; exit 1; }

# --- What is installed ------------------------------------------------------------------
pc=$(find "$prefix" -name zorbit.pc -path '*/pkgconfig/*')
[ -n "$pc" ] || { echo "FAIL: no zorbit.pc under $prefix" >&2; exit 1; }
libdir=$(dirname "$(dirname "$pc")")
for f in bin/vexcalc include/zorbit/zorbit.h include/zorbit/codes.h \
         share/vexcalc/ShowCmds.vex share/man/man1/vexcalc.1 \
         share/applications/io.github.vexcalc.vexcalc.desktop \
         share/icons/hicolor/scalable/apps/io.github.vexcalc.vexcalc.svg \
         share/metainfo/io.github.vexcalc.vexcalc.metainfo.xml \
         share/mime/packages/io.github.vexcalc.vexcalc.xml; do
    [ -e "$prefix/$f" ] || fail "not installed: $f"
done
[ -e "$libdir/cmake/zorbit/zorbitConfig.cmake" ] || fail "no CMake package in $libdir/cmake"
[ "$(readlink "$libdir/libzorbit.so")" = libzorbit.so.0 ] || fail "libzorbit.so is no link to libzorbit.so.0"
[ -L "$libdir/libzorbit.so.0" ] && [ -f "$libdir/$(readlink "$libdir/libzorbit.so.0")" ] ||
    fail "libzorbit.so.0 is no link to the library file"
soname=$(readelf -d "$libdir/libzorbit.so.0" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = libzorbit.so.0 ] || fail "SONAME is \"$soname\""
runpath=$(readelf -d "$prefix/bin/vexcalc" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
[ "$runpath" = "\$ORIGIN/../${libdir#"$prefix/"}" ] || fail "run path of vexcalc is \"$runpath\""
if [ -e "$build/bin/libgridentry.so" ]; then
    [ -e "$libdir/libgridentry.so" ] || fail "libgridentry.so is built but not installed"
    [ -e "$prefix/include/gridentry/gridentry.h" ] || fail "gridentry.h is not installed"
    ! ldd "$libdir/libgridentry.so" | grep -q "not found" || fail "libgridentry.so misses a library"
fi
file "$prefix/share/icons/hicolor/scalable/apps/io.github.vexcalc.vexcalc.svg" | grep -q SVG ||
    fail "the icon is no SVG picture"

# --- The installed program, with nothing of the build in its environment ------------------
mkdir -p "$work/run" "$work/home"
run_clean() {
    (cd "$work/run" && env -i PATH=/usr/bin:/bin HOME="$work/home" \
        XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" "$@")
}
out=$(run_clean "$prefix/bin/vexcalc" -e '2+3*4' 2>&1) || fail "vexcalc -e exits $?: $out"
expect_in "$out" "14.0000" "installed vexcalc -e '2+3*4'"

# Installed and built program answer alike (the build's own configuration left out).
lines=$'2+3*4\nsdiff(x) = x^3*sin(x)\nMatr = [mA]; 2; 2; 1; 2; 3; 4\n[mA]*[mA]\n1/(2+'
printf 'Expr = 2^10\r\nVar = g; 9.81\r\nExpr = g*2\r\n' >"$work/run/in.vex"
for where in prefix build; do
    program=$prefix/bin/vexcalc
    [ "$where" = build ] && program=$build/bin/vexcalc
    run_clean "$program" --no-config -e "$lines" >"$work/e.$where" 2>&1 || true
    run_clean "$program" --no-config --batch '/i in.vex /o out.vex /' >/dev/null 2>&1 ||
        fail "$program --batch exits $?"
    grep -v 'Time' "$work/run/out.vex" >"$work/batch.$where" 2>&1 || true
    rm -f "$work/run/out.vex"
done
cmp -s "$work/e.prefix" "$work/e.build" ||
    fail "-e differs installed and built: $(diff "$work/e.prefix" "$work/e.build")"
cmp -s "$work/batch.prefix" "$work/batch.build" ||
    fail "--batch differs installed and built: $(diff "$work/batch.prefix" "$work/batch.build")"
expect_in "$(cat "$work/batch.prefix")" "1024" "--batch output"

# Installed: the command help comes from share/vexcalc, the configuration is the user's
# (the program folder is writable here, yet nothing is put there).
out=$(run_clean "$prefix/bin/vexcalc" --batch '/cm /' 2>&1) || true
expect_in "$out" "vexCalc script commands" "command help"
run_clean "$prefix/bin/vexcalc" --batch '/i in.vex /o out.vex /lo /' >/dev/null 2>&1 || true
expect_in "$(cat "$work/run/vexCmds.log" 2>&1)" "INI File      : \"$work/config/vexcalc/vexCalc.ini\"" "log"
[ "$(ls "$prefix/bin")" = vexcalc ] || fail "files written beside the installed program: $(ls "$prefix/bin")"

# A list needs the window: without a display it says so and ends.
printf 'Columns: 1\r\nE1\n2+3\r\n' >"$work/run/list.vxc"
status=0
out=$(run_clean "$prefix/bin/vexcalc" list.vxc 2>&1) || status=$?
[ "$status" -eq 12 ] || fail "vexcalc list.vxc without a display exits $status"
expect_in "$out" "$work/run/list.vxc: a list opens in the window" "vexcalc list.vxc"

# --- Building against the installed library ------------------------------------------------
export PKG_CONFIG_PATH=$libdir/pkgconfig
[ "$(pkg-config --modversion zorbit)" = "$(run_clean "$prefix/bin/vexcalc" --version | cut -d' ' -f2)" ] ||
    fail "zorbit.pc version $(pkg-config --modversion zorbit)"
# shellcheck disable=SC2046
"$cc" -std=c11 -Wall -Wextra -Wpedantic -Werror "$here/use_zorbit.c" $(pkg-config --cflags --libs zorbit) \
    -Wl,-rpath,"$libdir" -o "$work/use_pc" || fail "the C program does not build with pkg-config"
out=$("$work/use_pc" 2>&1) || fail "the pkg-config program exits $?: $out"
[ "$out" = "5.0000" ] || fail "the pkg-config program says \"$out\""

mkdir -p "$work/cmake_src"
cp "$here/use_zorbit.c" "$work/cmake_src/"
cat >"$work/cmake_src/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(use_zorbit C)
find_package(zorbit 0.1 REQUIRED)
add_executable(use_zorbit use_zorbit.c)
target_link_libraries(use_zorbit PRIVATE zorbit::zorbit)
CMAKE
if "$cmake" -S "$work/cmake_src" -B "$work/cmake_build" -G "$generator" \
        -DCMAKE_MAKE_PROGRAM="$make_program" -DCMAKE_C_COMPILER="$cc" \
        -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF \
        >"$work/cmake.log" 2>&1 && "$cmake" --build "$work/cmake_build" >>"$work/cmake.log" 2>&1; then
    grep -q "^zorbit_DIR:PATH=$libdir/cmake/zorbit$" "$work/cmake_build/CMakeCache.txt" ||
        fail "find_package found $(grep '^zorbit_DIR' "$work/cmake_build/CMakeCache.txt")"
    out=$("$work/cmake_build/use_zorbit" 2>&1) || fail "the find_package program exits $?: $out"
    [ "$out" = "5.0000" ] || fail "the find_package program says \"$out\""
else
    cat "$work/cmake.log" >&2
    fail "the C program does not build with find_package(zorbit)"
fi

# --- Desktop files and the man page ---------------------------------------------------------
out=$(desktop-file-validate "$prefix/share/applications/io.github.vexcalc.vexcalc.desktop" 2>&1) ||
    fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net "$prefix/share/metainfo/io.github.vexcalc.vexcalc.metainfo.xml" 2>&1) ||
    fail "appstreamcli validate: $out"
# The file type is read as the desktop reads it: *.vxc becomes text/x-vexcalc-list.
update-mime-database "$prefix/share/mime" >"$work/mime.log" 2>&1 || fail "update-mime-database: $(cat "$work/mime.log")"
grep -q "text/x-vexcalc-list:\*\.vxc" "$prefix/share/mime/globs" 2>/dev/null || fail "no *.vxc glob in the MIME database"

man_out=$(MANWIDTH=100 man --warnings -l "$prefix/share/man/man1/vexcalc.1" 2>"$work/man.err") ||
    fail "man -l exits $?"
[ ! -s "$work/man.err" ] || fail "man -l warns: $(cat "$work/man.err")"
expect_in "$man_out" "SYNOPSIS" "man page"
# The page's options and usage are the --help text itself.
help=$(run_clean "$prefix/bin/vexcalc" --help)
while IFS= read -r line; do
    case $line in
    "  --"* | *"vexcalc [options]"*) expect_in "$man_out" "$(sed 's/^ *//; s/^Usage: //' <<<"$line")" "man page" ;;
    esac
done <<<"$help"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "install: all checks passed in $prefix"
