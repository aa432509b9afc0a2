#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, only what is missing.
set -eu
needed=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for pkg in cmake ninja-build g++ googletest libgtest-dev libgmock-dev libbenchmark-dev \
           mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
           wine wine64 fonts-wine fonts-liberation xvfb x11-utils xdotool imagemagick clang-format \
           nsis zip; do
    have "$pkg" || needed+=("$pkg")
done
if [ ${#needed[@]} -eq 0 ]; then
    exit 0
fi
echo "Installing: ${needed[*]}"
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        SUDO=sudo
    else
        echo "These packages are missing and installing them needs root: ${needed[*]}" >&2
        echo "Run this command as root, or install them with apt-get first." >&2
        exit 1
    fi
else
    SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${needed[@]}" >/dev/null
