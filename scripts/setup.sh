#!/usr/bin/env bash
# Installs the Debian packages that building and testing TWKSetup needs.
#   setup.sh           as root, installs whatever is missing; otherwise prints the apt-get
#                      command and fails
#   setup.sh --check   installs nothing: when a program or library that `make` needs to
#                      build is missing, says in one line what to run, and fails
set -euo pipefail

# Building: the host tool and its tests, both stubs, twk.exe (the mingw-w64 packages; its
# libdivsufsort is the copy in third_party/), the fuzzing tree.
build_packages=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  clang libclang-rt-14-dev
  libdivsufsort-dev libbz2-dev
  python3
)
# Running the stub under Wine on a virtual screen, and the tests' own tools; bzip2 and
# time for make bench (tar -cjf beside twk build, peak memory from /usr/bin/time); lintian
# for make package-test, which holds the Debian package to Debian's rules; nsis, the peer
# of make bench-install (used for nothing else).
run_packages=(
  wine64 xvfb xauth fonts-wine fonts-liberation imagemagick
  file openssl osslsigncode python3-pefile
  bzip2 time lintian nsis
)

# What `make` itself runs, each with the package that provides it: checked by the
# programs and headers, so that a machine that has them some other way is not refused.
build_needs=(
  "cmake|cmake" "ninja|ninja-build" "g++|g++" "pkg-config|pkg-config"
  "i686-w64-mingw32-gcc-win32|gcc-mingw-w64-i686" "i686-w64-mingw32-g++-win32|g++-mingw-w64-i686"
  "i686-w64-mingw32-windres|binutils-mingw-w64-i686"
  "x86_64-w64-mingw32-gcc-win32|gcc-mingw-w64-x86-64" "x86_64-w64-mingw32-g++-win32|g++-mingw-w64-x86-64"
  "x86_64-w64-mingw32-gcc-posix|gcc-mingw-w64-x86-64" "x86_64-w64-mingw32-g++-posix|g++-mingw-w64-x86-64"
  "x86_64-w64-mingw32-windres|binutils-mingw-w64-x86-64"
  "/usr/include/gtest/gtest.h|libgtest-dev" "/usr/include/*/divsufsort.h|libdivsufsort-dev"
  "/usr/include/bzlib.h|libbz2-dev" "python3|python3"
)

if [[ ${1:-} == --check ]]; then
  missing=()
  for need in "${build_needs[@]}"; do
    what=${need%%|*}
    if [[ $what == /* ]]; then
      compgen -G "$what" >/dev/null && continue
    else
      command -v "$what" >/dev/null && continue
    fi
    missing+=("${need#*|}")
  done
  [[ ${#missing[@]} -eq 0 ]] && exit 0
  echo "make: cannot build, these Debian packages are missing: ${missing[*]}." \
       "Run 'make setup' as root, or: apt-get install ${missing[*]}" >&2
  exit 1
fi

missing=()
for p in "${build_packages[@]}" "${run_packages[@]}"; do
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
