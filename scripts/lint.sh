#!/bin/bash
# clang-tidy with the project's .clang-tidy over every source: the native
# ones, the fuzz targets and the Windows-only ones (parsed for the mingw-w64
# target with its own headers). Needs the host, fuzz and windows presets
# configured, for their compile_commands.json.
set -euo pipefail
cd "$(dirname "$0")/.."

tidy() {  # tidy BUILD_DIR [EXTRA_ARGS...] -- FILES...
  local build=$1; shift
  local extra=()
  while [ "$1" != "--" ]; do extra+=("$1"); shift; done
  shift
  [ -f "$build/compile_commands.json" ] || { echo "lint: $build/compile_commands.json is missing" >&2; exit 1; }
  printf '%s\n' "$@" | xargs -P2 -n2 clang-tidy -p "$build" --quiet "${extra[@]}" 2> /dev/null
}

native=(launcher/*.cpp personalize/*.cpp profiles/*.cpp platform/platform_posix.cpp tests/*.cpp)
fuzz=(tests/fuzz/*.cpp)
windows=(platform/platform_win32.cpp tests/windows/standin.cpp)

# The cross compiler's include folders, for clang to see what it sees.
mingw_includes=()
while read -r folder; do
  mingw_includes+=("--extra-arg=-isystem$folder")
done < <(echo | i686-w64-mingw32-g++-win32 -xc++ -E -v - 2>&1 |
           sed -n '/#include <...> search starts here:/,/End of search list./p' | sed -n 's/^ //p')

tidy build/host -- "${native[@]}"
tidy build/fuzz -- "${fuzz[@]}"
tidy build/windows --extra-arg-before=--target=i686-w64-mingw32 --extra-arg=-nostdinc++ \
  "${mingw_includes[@]}" -- "${windows[@]}"
echo "clang-tidy: $((${#native[@]} + ${#fuzz[@]} + ${#windows[@]})) files clean"
