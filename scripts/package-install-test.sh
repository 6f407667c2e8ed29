#!/usr/bin/env bash
# The Debian package on this machine, as a user installs it: lintian first, which must
# find no error (its warnings are printed), then dpkg -i (apt-get fetches what it depends
# on when that is missing), then the installed twk, from a folder of its own, builds,
# verifies and lists the example it ships, in one file and on floppy volumes, and last
# dpkg -r takes the package away again.
#   package-install-test.sh [DEB]     as root; DEB defaults to build/package's
#   package-install-test.sh --if-ci   the same when root in CI (CI=true), else a note
# It installs system-wide, so `make test` runs it only in CI: on a developer's machine it
# would change what /usr holds (make package-test runs it on purpose). A twksetup package
# that is already installed is never touched.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
if [[ ${1:-} == --if-ci ]]; then
  if [[ $(id -u) -ne 0 || ${CI:-} != true ]]; then
    echo "package-install-test: skipped: it installs system-wide, so only as root in CI" \
         "(CI=true); make package-test runs it here"
    exit 0
  fi
  make -C "$root" package >/dev/null
  set --
fi
deb=${1:-$(ls "$root"/build/package/twksetup_*.deb 2>/dev/null | tail -n 1)}
[[ -f $deb ]] || { echo "package-install-test: no package (make package)" >&2; exit 1; }
command -v lintian >/dev/null || { echo "package-install-test: no lintian (make setup)" >&2; exit 1; }
# Every error fails the test; the warnings and the rest are shown. lintian refuses to run
# as root unless told that it may.
lintian --allow-root --fail-on error --display-info "$deb" ||
  { echo "package-install-test: lintian finds errors in $deb" >&2; exit 1; }
[[ $(id -u) -eq 0 ]] || { echo "package-install-test: dpkg -i needs root" >&2; exit 1; }
if dpkg-query -W -f='${Status}' twksetup 2>/dev/null | grep -q "install ok installed"; then
  echo "package-install-test: twksetup is installed already; it is left alone" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/twk-dpkg.XXXXXX")
cleanup() {
  dpkg -r twksetup >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

if ! dpkg -i "$deb" >"$work/dpkg.log" 2>&1; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -f >>"$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log" >&2; exit 1; }
fi
cd "$work"
twk=$(command -v twk)
[[ $twk == /usr/bin/twk ]] || { echo "package-install-test: twk on PATH is $twk" >&2; exit 1; }
cp -r /usr/share/doc/twksetup/example product
twk build product/demo.twk -o one/SETUP.EXE
twk verify one/SETUP.EXE
twk build product/demo.twk -o floppies/SETUP.EXE --arch x64 --volume-size 1.44M
twk verify floppies/SETUP.EXE
twk list --json one/SETUP.EXE |
  python3 -c 'import json, sys; sys.exit(json.load(sys.stdin)["header"]["title"] != "TWKSetup Demo 1.2")'
if command -v man >/dev/null; then man -w twk >/dev/null; fi
dpkg -r twksetup >/dev/null
[[ ! -e /usr/bin/twk && ! -e /usr/share/twksetup ]] ||
  { echo "package-install-test: dpkg -r left files behind" >&2; exit 1; }
echo "package-install-test: installed, built and verified the example from /usr, removed"
