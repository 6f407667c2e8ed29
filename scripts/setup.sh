#!/usr/bin/env bash
# Installs the Debian packages that building and testing TWKSetup needs.
# As root it installs whatever is missing; otherwise it prints the apt-get command.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  clang libclang-rt-14-dev
  libdivsufsort-dev libbz2-dev
  wine64 xvfb xauth fonts-wine fonts-liberation imagemagick
  python3 file
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

cmd="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "setup: these Debian packages are missing; install them as root with:" >&2
  echo "  apt-get update && $cmd" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
