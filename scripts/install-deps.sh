#!/bin/bash
# Installs the Debian packages the build and the tests need, only those that
# are missing. Usage: scripts/install-deps.sh [native] [windows] [wine]
# (all three when none is named).
set -euo pipefail

groups=("$@")
[ ${#groups[@]} -eq 0 ] && groups=(native windows wine)

packages=()
need_i386=no
for group in "${groups[@]}"; do
  case "$group" in
    native)  packages+=(cmake ninja-build g++ clang clang-tidy libgtest-dev libclang-rt-14-dev pkg-config freerdp2-dev) ;;
    windows) packages+=(g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 icoutils librsvg2-bin python3) ;;
    wine)    packages+=(wine wine32:i386 fonts-wine xvfb xdotool x11-apps imagemagick procps); need_i386=yes ;;
    *) echo "unknown group: $group" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]}; run this script as root to install them" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
if [ "$need_i386" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" > /dev/null
