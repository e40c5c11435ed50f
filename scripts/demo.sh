#!/bin/bash
# The main job: builds the Windows launcher, makes a personalised copy and
# runs it under Wine on a virtual display, with stand-in cmdkey and mstsc,
# then prints what it did. Wine's prefix and display live in a scratch
# folder that is removed afterwards; screenshots of message boxes are kept
# in build/demo/.
# Usage: scripts/demo.sh [PRODUCT_KEY] [USER] [PASSWORD] [WINDOWS_VERSION]
#   e.g. scripts/demo.sh KOBAX_TM 'Анна' 'p w' winxp
set -euo pipefail
cd "$(dirname "$0")/.."
product=${1:-KOBAX_8}
user=${2:-anna}
password=${3:-secret}

scripts/install-deps.sh windows wine
cmake --preset windows > /dev/null 2>&1 || cmake --preset windows
cmake --build --preset windows > /dev/null
exec python3 tests/wine/demo.py build/windows/kobax-launcher.exe build/windows/standins \
  "$PWD/build/demo" "$product" "$user" "$password" ${4:+"$4"}
