#!/usr/bin/env bash
# `make` on a machine without the cross compilers must say in one line what to install,
# and say nothing on a machine that has everything. The missing compilers are faked by a
# PATH of links to every program but the i686 ones.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(mktemp -d)
trap 'rm -rf "$bin"' EXIT
for program in /usr/bin/*; do
  case ${program##*/} in i686-w64-mingw32-*) ;; *) ln -s "$program" "$bin/" ;; esac
done

"$root/scripts/setup.sh" --check  # this machine has everything

if message=$(PATH=$bin "$root/scripts/setup.sh" --check 2>&1); then
  echo "setup --check passed without the i686 compilers" >&2
  exit 1
fi
[[ $(wc -l <<<"$message") -eq 1 ]] || { echo "not one line: $message" >&2; exit 1; }
[[ $message == *"g++-mingw-w64-i686"* && $message == *"make setup"* ]] ||
  { echo "does not say what to install: $message" >&2; exit 1; }
echo "setup --check: $message"
