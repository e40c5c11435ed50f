#!/bin/bash
# Builds the Windows launcher a second time in a scratch folder and compares
# it byte for byte with the first build.
# Usage: reproducible_build.sh SOURCE_DIR FIRST_BUILD.exe
set -euo pipefail
source_dir=$1
first=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kobax-rebuild.XXXXXX")
trap 'rm -rf -- "$scratch"' EXIT
cmake -S "$source_dir" -B "$scratch" -G Ninja -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/i686-w64-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING=OFF > /dev/null 2>&1
cmake --build "$scratch" -j2 --target kobax-launcher > /dev/null
if cmp "$first" "$scratch/kobax-launcher.exe"; then
  echo "two builds are byte-identical ($(stat -c %s "$first") bytes)"
else
  echo "the second build differs from the first"
  exit 1
fi
