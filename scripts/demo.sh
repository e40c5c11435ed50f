#!/bin/bash
# The main job: builds the launcher, makes a personalised copy and runs it
# with stand-in cmdkey and mstsc in a scratch home, then shows what it did.
# Usage: scripts/demo.sh [PRODUCT_KEY] [USER] [PASSWORD]
set -euo pipefail
cd "$(dirname "$0")/.."
product=${1:-KOBAX_8}
user=${2:-anna}
password=${3:-secret}

scripts/install-deps.sh native
cmake --preset host > /dev/null
cmake --build --preset host > /dev/null

scratch=$(mktemp -d "${TMPDIR:-/tmp}/kobax-demo.XXXXXX")
trap 'rm -rf -- "$scratch"' EXIT
mkdir -p "$scratch/home/Desktop" "$scratch/Downloads"
name="$product\$$user\$$password\$.exe"
cp build/host/kobax-launcher "$scratch/Downloads/$name"

echo "launcher: $name"
status=0
HOME="$scratch/home" KOBAX_RECORD="$scratch/record" PATH="$PWD/tests/standins:$PATH" \
  XDG_DESKTOP_DIR= "$scratch/Downloads/$name" 2> "$scratch/messages" || status=$?
echo "exit code: $status"
echo "--- messages"
cat "$scratch/messages"
echo "--- programs started"
cat "$scratch/record" 2> /dev/null || echo "(none)"
for file in "$scratch/home/Desktop"/*; do
  [ -e "$file" ] || continue
  echo "--- Desktop file: $(basename "$file")"
  tr -d '\r' < "$file"
done
