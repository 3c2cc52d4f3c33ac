#!/usr/bin/env bash
# Builds and runs every test: the format check, the normal build, the release build
# (-O3, as a packager builds it) and its Debian package, the sanitizer build of the
# headless tests, the threaded library test under ThreadSanitizer, and a short run of every
# fuzz target. CI runs this.
#   scripts/test.sh --quick   only the format check and the normal build with its tests,
#                             what a developer runs between edits
set -euo pipefail
cd "$(dirname "$0")/.."
quick=false
case "${1:-}" in
  "") ;;
  --quick) quick=true ;;
  *) echo "usage: scripts/test.sh [--quick]" >&2; exit 2 ;;
esac
scripts/install-deps.sh

echo "== format"
scripts/check-format.sh

echo "== normal build"
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default -j2

if $quick; then
  echo "== quick run done (the full run adds the release, sanitizer and fuzz builds)"
  exit 0
fi

echo "== release build"
cmake --preset release >/dev/null
cmake --build --preset release
ctest --preset release -j2
# The Debian package of that build, checked but not installed.
scripts/check-package.sh build/release

echo "== sanitizer build (headless tests)"
cmake --preset asan >/dev/null
cmake --build --preset asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --preset asan -j2

echo "== thread sanitizer (the threaded library test and what it links, nothing else)"
cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan

echo "== fuzz targets"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
scripts/fuzz.sh "${FUZZ_SECONDS:-15}"
