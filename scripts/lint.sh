#!/bin/bash
# clang-tidy over the native sources with the project's .clang-tidy.
# Needs the host and fuzz presets configured (for compile_commands.json).
set -euo pipefail
cd "$(dirname "$0")/.."
sources=(launcher/*.cpp personalize/*.cpp profiles/*.cpp platform/platform_posix.cpp tests/*.cpp)
printf '%s\n' "${sources[@]}" | xargs -P2 -n2 clang-tidy -p build/host --quiet 2> /dev/null
fuzz_targets=(tests/fuzz/*.cpp)
printf '%s\n' "${fuzz_targets[@]}" | xargs -P2 -n2 clang-tidy -p build/fuzz --quiet 2> /dev/null
echo "clang-tidy: $((${#sources[@]} + ${#fuzz_targets[@]})) files clean"
