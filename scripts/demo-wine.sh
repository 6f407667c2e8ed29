#!/usr/bin/env bash
# The example installer run by the real stub under Wine, then what it left on the
# Windows machine: the files, the shortcuts and the registry values. Run by `make demo`.
#
# With a display and a person at the terminal (DISPLAY set, standard input a terminal,
# CI unset) the installer opens on that display, in a fresh Wine prefix under build/, to
# be clicked through. Otherwise the robot of e2e/ plays the default scenario
# (e2e/scenarios/01-install.scn: every default answer) on a virtual screen.
# TWK_HOST_BUILD and TWK_BIN name other build folders (default build/host, build/bin).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
host_build=${TWK_HOST_BUILD:-$root/build/host}
installer=$host_build/examples/SETUP.EXE
source "$root/e2e/wine-tools.sh"

# Prints what the example product left in the prefix $1; the desktop may lie outside it,
# in the home folder $2 that the prefix links it to.
show_installed() {
  local prefix=$1 home=$2 program="$1/drive_c/Program Files/TWKSetup Demo"
  echo "== files (C:\\Program Files\\TWKSetup Demo and the shared library)"
  if [[ -d $program ]]; then
    (cd "$program" && find . -type f -printf '%10s  %TY-%Tm-%Td %TH:%TM  %P\n' | sort -k4)
  else
    echo "  (the program folder is not there: the installation did not run to its end)"
  fi
  find "$prefix/drive_c/windows/system32" -maxdepth 1 -iname DemoLib.dll \
    -printf '%10s  %TY-%Tm-%Td %TH:%TM  C:\\windows\\system32\\%f\n'
  echo "== shortcuts"
  find "$prefix/drive_c/users" "$home" -name '*.lnk' \( -path '*TWKSetup Demo*' \) \
    -printf '  %P\n' 2>/dev/null | sort
  echo "== registry"
  local file
  for file in system.reg user.reg; do
    # A key's header and its values, for every key of the product.
    awk -v hive="${file%.reg}" '
      /^\[/ { show = index($0, "TWKSetup Demo") > 0; key = $0; sub(/\] [0-9]+$/, "]", key)
              if (show) print hive ": " key; next }
      show && NF && !/^#/ { print "    " $0 }
      /DemoLib\.dll/ && !show { print hive ": " $0 }' "$prefix/$file"
  done
}

if [[ ! -f $installer ]]; then
  echo "demo-wine: $installer is missing (make all builds it)" >&2
  exit 1
fi

if [[ -n ${DISPLAY:-} && -t 0 && -z ${CI:-} ]]; then
  prefix=$root/build/demo-wine
  echo "== the example installer on your display (Wine prefix $prefix)"
  rm -rf "$prefix" "$prefix-home"
  # The prefix links the user's desktop to $HOME: a home of its own keeps the demo's
  # shortcut off yours (the X server's key is still found where it was).
  mkdir -p "$prefix-home/Desktop"
  export XAUTHORITY=${XAUTHORITY:-${HOME:-/nonexistent}/.Xauthority} HOME=$prefix-home
  export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  "$WINE" wineboot -i >/dev/null 2>&1
  "$WINE" "$installer" || true
  "$WINESERVER" -w
  show_installed "$prefix" "$HOME"
else
  echo "== the example installer under Wine, headless: the default scenario"
  output=$(E2E_KEEP=1 "$root/e2e/run-scenario.sh" "$root/e2e/scenarios/01-install.scn") || status=$?
  echo "$output" | grep -v '^    kept: '
  kept=$(sed -n 's/^    kept: //p' <<<"$output")
  [[ -n $kept ]] && show_installed "$kept/prefix" "$kept/home"
  [[ -n $kept ]] && rm -rf "$kept"
  exit "${status:-0}"
fi
