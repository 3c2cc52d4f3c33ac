#!/usr/bin/env bash
# Fails when a C or C++ file of the tree differs from what the project's .clang-format
# makes of it. Build folders are left out. Fix with: clang-format-14 -i <file>
set -euo pipefail
cd "$(dirname "$0")/.."

# Another major version formats some constructs differently, so it must be 14.
tool=
for candidate in clang-format-14 clang-format; do
  if command -v "$candidate" >/dev/null &&
     "$candidate" --version | grep -q "clang-format version 14\."; then
    tool=$candidate
    break
  fi
done
if [ -z "$tool" ]; then
  echo "check-format: clang-format 14 not found (scripts/install-deps.sh installs it)" >&2
  exit 2
fi

files=()
while IFS= read -r -d '' f; do files+=("$f"); done < <(
  find . \( -name .git -o -name 'build*' -o -name out \) -prune -o -type f \
    \( -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.cxx' \
       -o -name '*.h' -o -name '*.hh' -o -name '*.hpp' -o -name '*.hxx' \) -print0 | sort -z)

# One run over all files; its messages start with "<file>:<line>:<col>: error:".
if report=$("$tool" --dry-run --Werror "${files[@]}" 2>&1); then
  echo "check-format: ${#files[@]} files formatted"
  exit 0
fi
bad=$(printf '%s\n' "$report" | sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: .*/\1/p' | sort -u)
if [ -z "$bad" ]; then
  printf '%s\n' "$report" >&2
  exit 1
fi
echo "check-format: $(printf '%s\n' "$bad" | wc -l) of ${#files[@]} files differ from .clang-format:"
printf '%s\n' "$bad" | sed 's|^\./|  |'
echo "check-format: format them with: $tool -i <file>"
exit 1
