#!/usr/bin/env bash
# The example installer from end to end: builds it (with SOURCE_DATE_EPOCH, as a release
# pipeline does), checks it with twk verify and twk list, extracts it and compares every
# file with its source, then does the same with the package spread over volumes (a few
# kilobytes in SETUP.EXE, then volumes of the installation file's size), and last installs
# and uninstalls it on a simulated Windows. Run by `make demo` after `make all`.
# TWK_HOST_BUILD and TWK_BIN name other build folders (default build/host, build/bin).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
host_build=${TWK_HOST_BUILD:-$root/build/host}
twk=${TWK_BIN:-$root/build/bin}/twk
product=$host_build/examples/product
installer=$host_build/examples/SETUP.EXE
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Source file in the product folder, and where twk extract puts its target.
files=(
  "DemoApp.exe|OurProgramDir/DemoApp.exe"
  "DemoLib.dll|WinSysDir/DemoLib.dll"
  "readme.txt|OurProgramDir/Read Me.txt"
  "manual.txt|OurProgramDir/manual.txt"
  "samples.dat|OurProgramDir/data/samples.dat"
  "empty.log|OurProgramDir/logs/empty.log"
)

# Extracts installer $1 into folder $2 and compares every file with its source.
extract_and_compare() {
  "$twk" extract "$1" -d "$2" >/dev/null
  local pairs=("${files[@]}") doc
  for doc in "$product"/docs/*.txt; do
    pairs+=("docs/${doc##*/}|OurProgramDir/docs/${doc##*/}")
  done
  local pair
  for pair in "${pairs[@]}"; do
    cmp "$product/${pair%%|*}" "$2/${pair#*|}"
  done
  local extracted
  extracted=$(find "$2" -type f | wc -l)
  if [ "$extracted" -ne "${#pairs[@]}" ]; then
    echo "demo: $1 holds $extracted files, expected ${#pairs[@]}" >&2
    exit 1
  fi
  echo "demo: all ${#pairs[@]} files of $(basename "$1") extract to the bytes of their sources"
}

echo "== twk build (example_installer)"
cmake --build "$host_build" --target example_installer

echo "== twk verify"
"$twk" verify "$installer"
echo "== twk list"
"$twk" list "$installer"
echo "== twk extract"
extract_and_compare "$installer" "$work/single"

# The volume size follows the stub's, so that the package spreads over several volumes
# whatever the stub weighs.
volume_size=$(( $(stat -c %s "$(dirname "$twk")/stub-x64.exe") + 2500 ))
echo "== twk build --volume-size $volume_size"
# With the time the example installer was built with, as a release pipeline passes it.
SOURCE_DATE_EPOCH=$(cat "$host_build/examples/source-date-epoch") "$twk" build "$product/demo.twk" -o "$work/volumes/SETUP.EXE" --volume-size "$volume_size" --arch x64
"$twk" verify "$work/volumes/SETUP.EXE"
extract_and_compare "$work/volumes/SETUP.EXE" "$work/from-volumes"

echo "== twk simulate: install on a simulated Windows, then uninstall"
machine=$work/pc
"$twk" simulate "$installer" --root "$machine" > "$work/install.txt"
sed -n '/^== outcome/,$p' "$work/install.txt"
"$twk" simulate "$machine/C/Program Files/TWKSetup Demo/UNINST.EXE" --root "$machine" \
  > "$work/uninstall.txt"
sed -n '/^== outcome/,$p' "$work/uninstall.txt"

echo
echo "== summary"
echo "installer:  $installer ($(stat -c %s "$installer") bytes)"
for volume in "$work"/volumes/SETUP.EXE "$work"/volumes/SETUP.[0-9]*; do
  echo "in volumes: $(basename "$volume") ($(stat -c %s "$volume") bytes)"
done
echo "demo: the example installer built, verified and extracted, whole and in volumes"
