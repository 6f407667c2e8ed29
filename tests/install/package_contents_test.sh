#!/usr/bin/env bash
# The Debian package and `make install`, checked without installing anything on this
# machine: cpack makes the package in a scratch folder and dpkg-deb unpacks it there; the
# unpacked twk, started from another folder, builds, verifies and lists the example it
# ships with the stubs it ships. A DESTDIR install under another prefix does the same, and
# a twk without its stubs says where it looked. Run by CTest (package_contents) with
# TWK_HOST_BUILD and TWK_BIN set.
set -euo pipefail

host=${TWK_HOST_BUILD:?}
bin=${TWK_BIN:?}
work=$(mktemp -d "${TMPDIR:-/tmp}/twk-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() { echo "package_contents: $*" >&2; exit 1; }

# Builds the example that twk $1 ships (share/doc/twksetup/example beside its bin/) from
# a folder of its own, with the default stubs (it can find no others: it looks only
# relative to itself), and checks the result.
try_twk() {
  local twk=$1 try
  try=$(mktemp -d "$work/try.XXXXXX")
  cp -r "$(dirname "$twk")/../share/doc/twksetup/example" "$try/product"
  (
    cd "$try"
    "$twk" build product/demo.twk -o one/SETUP.EXE >/dev/null
    "$twk" verify one/SETUP.EXE >/dev/null
    "$twk" build product/demo.twk -o split/SETUP.EXE --arch x64 --volume-size 100K >/dev/null
    "$twk" verify split/SETUP.EXE >/dev/null
    "$twk" list --json one/SETUP.EXE |
      python3 -c 'import json, sys; sys.exit(json.load(sys.stdin)["header"]["title"] != "TWKSetup Demo 1.2")'
  ) || fail "$twk could not build, verify and list its example"
}

(cd "$work" && cpack -G DEB --config "$host/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/out/twksetup_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for package in libc6 libstdc++6 libdivsufsort3; do
  [[ $depends == *"$package"* ]] || fail "Depends ($depends) leaves out $package"
done

dpkg-deb -x "$deb" "$work/root"
maintainer=$(dpkg-deb -f "$deb" Maintainer)
real_form='^[^<]+ <[^@<>]+@[^@<>]+\.[^@<>.]+>$'  # Name <user@host.domain>
[[ $maintainer =~ $real_form ]] ||
  fail "Maintainer ($maintainer) is no name with a mail address of a real form"

dpkg-deb -x "$deb" "$work/root"
# Debian's policy: a compressed man page and changelog, a copyright file in the
# machine-readable format naming the licences.
for file in usr/bin/twk usr/share/twksetup/stub-x86.exe usr/share/twksetup/stub-x64.exe \
    usr/share/man/man1/twk.1.gz usr/share/doc/twksetup/changelog.gz \
    usr/share/doc/twksetup/copyright usr/share/doc/twksetup/README.md \
    usr/share/doc/twksetup/docs/script.md usr/share/doc/twksetup/docs/json.md \
    usr/share/doc/twksetup/example/demo.twk usr/share/doc/twksetup/example/DemoApp.exe; do
  [[ -f $work/root/$file ]] || fail "the package has no $file"
done
for arch in x86 x64; do
  cmp -s "$work/root/usr/share/twksetup/stub-$arch.exe" "$bin/stub-$arch.exe" ||
    fail "stub-$arch.exe in the package is not the one built"
done
grep -q "^License: MIT$" "$work/root/usr/share/doc/twksetup/copyright" ||
  fail "the copyright file does not name libdivsufsort's licence"
zcat "$work/root/usr/share/doc/twksetup/changelog.gz" | head -n 1 | grep -q "^twksetup (" ||
  fail "changelog.gz is no Debian changelog"
try_twk "$work/root/usr/bin/twk"
if command -v groff >/dev/null; then
  [[ -z $(zcat "$work/root/usr/share/man/man1/twk.1.gz" | groff -man -Tutf8 -ww 2>&1 >/dev/null) ]] ||
    fail "groff warns about twk.1"
fi

DESTDIR="$work/dest" cmake --install "$host" --prefix /opt/twk >/dev/null
try_twk "$work/dest/opt/twk/bin/twk"

mkdir "$work/lonely"
cp "$bin/twk" "$work/lonely/twk"
set +e
message=$("$work/lonely/twk" build "$host/examples/product/demo.twk" -o "$work/lonely/S.EXE" 2>&1)
status=$?
set -e
[[ $status -eq 3 && $message == *"stub-x86.exe: not found in $work/share/twksetup or $work/lonely"* ]] ||
  fail "a twk without stubs said: $message (exit $status)"
echo "package_contents: the package and a DESTDIR install hold a twk that works from anywhere"
