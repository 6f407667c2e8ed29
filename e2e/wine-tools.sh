# Sourced by every script that runs Wine. Sets WINE (the 64-bit loader: `"$WINE" PROGRAM`,
# `"$WINE" wineboot -r`, `"$WINE" reg query ...`) and WINESERVER to full paths.
#
# Debian's wine64 package, which `make setup` installs, puts both in /usr/lib/wine and
# nothing on PATH: /usr/bin/wine* come from other packages (wine, wine64-preloader...)
# that a fresh machine does not have. So the folder is searched first and PATH last, and
# nothing below may call a Wine program by its bare name.
wine_tools_find() {
  local name candidate
  for name in "$@"; do
    for candidate in /usr/lib/wine/"$name" /usr/lib64/wine/"$name" /opt/wine-stable/bin/"$name"; do
      if [[ -x $candidate ]]; then printf '%s' "$candidate"; return 0; fi
    done
  done
  for name in "$@"; do
    candidate=$(command -v "$name" 2>/dev/null) && { printf '%s' "$candidate"; return 0; }
  done
  return 1
}

WINE=${TWK_WINE:-$(wine_tools_find "wine64" "wine")} ||
  { echo "wine64 is not installed: run 'make setup' (as root), or apt-get install wine64" >&2; exit 1; }
WINESERVER=${TWK_WINESERVER:-$(wine_tools_find "wineserver" "wineserver64")} ||
  { echo "wineserver is not installed: run 'make setup' (as root), or apt-get install wine64" >&2; exit 1; }
export WINE WINESERVER
