#!/usr/bin/env bash
# Static checks of the built stubs: the right kind of Windows program, imports only from
# DLLs that Windows loads from its own list of known DLLs (any other name Windows looks for
# first in the program's folder, where a downloaded installer has neighbours anyone could
# have put there: such DLLs the stub loads itself, by full path), the image flags that let
# Windows place it at a random address and keep data from running, no symbol table, the
# package offset marker present once and unpatched, and a size within its limit: every
# installation carries three copies of the stub, so growth must be a choice. Prints each
# stub's size.
set -euo pipefail

# On the KnownDLLs list of every Windows NT from XP on (the 9x family loads these system
# DLLs from its system folder too). VERSION.dll and COMCTL32.dll are not on it.
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32)\.dll$'
# IMAGE_DLLCHARACTERISTICS_: DYNAMIC_BASE (0x40) and NX_COMPAT (0x100); NO_SEH (0x400)
# only for i686, where handlers are registered at run time.
hardened=$((0x40 | 0x100))
status=0

check() {
  local stub=$1 kind=$2 objdump=$3 limit=$4 flags=$5
  local name; name=$(basename "$stub")
  if [ ! -f "$stub" ]; then
    echo "FAIL $name: missing (run make)"; status=1; return
  fi
  local desc; desc=$(file -b "$stub")
  if [[ "$desc" != *"$kind"* ]]; then
    echo "FAIL $name: expected '$kind', file says: $desc"; status=1
  fi
  local dll
  while read -r dll; do
    if ! [[ "${dll,,}" =~ $allowed ]]; then
      echo "FAIL $name: imports from $dll"; status=1
    fi
  done < <("$objdump" -p "$stub" | sed -n 's/^\s*DLL Name: //p')
  local characteristics
  characteristics=$((0x$("$objdump" -p "$stub" | sed -n 's/^DllCharacteristics\s*//p')))
  if (( (characteristics & flags) != flags )); then
    printf 'FAIL %s: DllCharacteristics %#x lacks %#x (ASLR, NX, no SEH)\n' "$name" \
      "$characteristics" "$((flags & ~characteristics))"; status=1
  fi
  # A randomised base is no use without the relocations that let Windows move the image.
  if ! "$objdump" -h "$stub" | grep -q ' \.reloc '; then
    echo "FAIL $name: no relocation section: Windows cannot move it to a random base"; status=1
  fi
  # Every installation carries two copies of the stub: symbols would only add weight.
  if ! "${objdump%objdump}nm" "$stub" 2>&1 | grep -q 'no symbols'; then
    echo "FAIL $name: not stripped (it has a symbol table)"; status=1
  fi
  local markers; markers=$(grep -c -a -o 'WHERETOSTARTSTRING:' "$stub" || true)
  if [ "$markers" != 1 ]; then
    echo "FAIL $name: package offset marker found $markers times (want 1)"; status=1
  elif ! python3 - "$stub" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
at = data.index(b'WHERETOSTARTSTRING:') + 19
sys.exit(0 if data[at:at + 4] == b'\0\0\0\0' else 1)
PY
  then
    echo "FAIL $name: package offset word is already set"; status=1
  fi
  local size; size=$(stat -c %s "$stub")
  if (( size > limit )); then
    echo "FAIL $name: $size bytes, more than its limit of $limit"; status=1
  fi
  printf '%-14s %8d bytes  %s  imports: %s\n' "$name" "$size" "$desc" \
    "$("$objdump" -p "$stub" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"
}

# The limits: the sizes the stubs have now (a stub grows in steps of 512 bytes). The
# x86_64 stub, which only the Wine tier runs, took one step for the decoder's mended
# lookup table; the i686 stub, the one installations carry, did not. Then, for speed
# (measured, i686 / x86_64): the expansion's memory taken once per run, -512 / 0; the
# file list read ahead with its blocks expanded on worker threads and the stream read
# in large pieces, +3072 / +3584; the decoder compiled for speed, +1536 / +2048. What
# keeps planted code from running took these steps of 512 bytes (i686, x86_64): the
# relocation table that a random base needs 3 (1456 bytes of relocations) and 1; the
# uninstaller's private copy (its folder, security descriptor, check and handed-down
# handle) with the quoted command lines 6 and 6; the run-after program started through
# the desktop's shell 4 and 3; the end of a signed file's package bytes 0 and 1. Loading
# the version library and the common controls at run time took none, and neither did
# the mode byte held to the volume length word (about 100 bytes of code, within the
# last step of each). Refusing links, the folders' security, unguessable waiting-file
# names and the canonical program folder took 4 and 7. Texts in the user's language (the
# English table with the folder page's refusal, the lookup in the image's own section,
# the dialogs' texts set from it) took 4 and 4. Fewer calls to the system per file
# (attributes instead of searches, links recognised without the volume's serial number)
# and the writing thread expanding later blocks while it waits took 192 bytes of code:
# 1 step and 0.
check "$1" "PE32 executable (GUI) Intel 80386" i686-w64-mingw32-objdump 60416 $((hardened | 0x400))
check "$2" "PE32+ executable (GUI) x86-64" x86_64-w64-mingw32-objdump 66560 $hardened
exit $status
