#!/usr/bin/env bash
# Builds the Debian package from a built tree (default build/release) and checks its
# control fields and contents: the dependencies dpkg-shlibdeps found plus Qt's platform
# plugins, the library's SONAME and shlibs entry, and the installed files.
set -euo pipefail
cd "$(dirname "$0")/.."
tree=${1:-build/release}
(cd "$tree" && cpack -G DEB >cpack.log 2>&1) || { cat "$tree/cpack.log" >&2; exit 1; }
deb=$(ls -t "$tree"/vexcalc_*.deb | head -n1)
info=$(dpkg-deb -I "$deb")
contents=$(dpkg-deb -c "$deb")
failures=0
for want in "Package: vexcalc" "qt6-qpa-plugins" "libqt6widgets6" "libc6" "libstdc++6"; do
    grep -qF "$want" <<<"$info" || { echo "check-package: no \"$want\" in the control fields" >&2; failures=$((failures + 1)); }
done
[ "$(dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./shlibs)" = "libzorbit 0 vexcalc (= $(dpkg-deb -f "$deb" Version))" ] ||
    { echo "check-package: wrong shlibs entry" >&2; failures=$((failures + 1)); }
for want in ./usr/bin/vexcalc ./usr/lib/libzorbit.so.0 ./usr/include/zorbit/zorbit.h \
            ./usr/lib/libgridentry.so ./usr/include/gridentry/gridentry.h \
            ./usr/lib/pkgconfig/zorbit.pc ./usr/lib/cmake/zorbit/zorbitConfig.cmake \
            ./usr/share/vexcalc/ShowCmds.vex ./usr/share/man/man1/vexcalc.1 \
            ./usr/share/applications/io.github.vexcalc.vexcalc.desktop \
            ./usr/share/mime/packages/io.github.vexcalc.vexcalc.xml; do
    grep -qF " $want" <<<"$contents" || { echo "check-package: $want is not in the package" >&2; failures=$((failures + 1)); }
done
[ "$failures" -eq 0 ] || exit 1
echo "check-package: $deb ($(stat -c %s "$deb") bytes)"
