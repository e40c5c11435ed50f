#!/bin/bash
# Everything CI checks, from a fresh Debian machine: installs what is
# missing, builds each preset and runs its tests.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

step() { printf '\n=== %s\n' "$*"; }

step "native build and tests"
cmake --preset host > /dev/null 2>&1 || cmake --preset host
cmake --build --preset host
ctest --preset host

step "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan > /dev/null 2>&1 || cmake --preset asan
cmake --build --preset asan
ctest --preset asan

step "fuzzing everything a file name reaches, 20 s per target"
scripts/fuzz.sh 20

step "Windows executable: cross build, inspection, end to end under Wine"
cmake --preset windows > /dev/null 2>&1 || cmake --preset windows
cmake --build --preset windows
ctest --preset windows

step "clang-tidy"
scripts/lint.sh
