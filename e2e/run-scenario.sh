#!/usr/bin/env bash
# Plays one end-to-end scenario on a fresh simulated Windows: a new Wine prefix, a virtual
# X screen, the program under test in the background and the robot driving its windows;
# then checks the files and registry values the scenario names. Prints one line
#   PASS name (N s)   or   FAIL name (N s): reason
# and exits 0 on PASS, 1 on FAIL.
#
# A scenario file (e2e/scenarios/*.scn):
#   # comments and blank lines anywhere
#   program PATH            the default program; $ROOT, $HOST_BUILD, $BIN, $TWK, $WORK expand
#   arguments ARGS          its arguments (split at blanks)
#   [setup]                 bash lines, run first in the scenario's scratch folder $WORK
#   [steps]                 robot steps played against the default program; a line
#                           "include FILE" takes the steps of FILE (beside the scenario)
#   [steps PATH ARGS]       robot steps played against another program; PATH may be a
#                           Windows path, or "@uninstall KEY": the UninstallString that the
#                           Add/Remove Programs entry KEY names
#   [checks]                one a line:
#       file WINPATH        the file exists          no-file WINPATH   it does not
#       dir WINPATH         the folder exists        no-dir WINPATH    it does not
#       reg "KEY" NAME [VALUE]   the value exists (and holds VALUE, as reg query shows it)
#       no-reg "KEY" [NAME]      the value (or the whole key) does not exist
# Several [steps] sections run one after another in the same prefix, each program to its
# end. TWK_HOST_BUILD and TWK_BIN name other build folders; E2E_KEEP=1 keeps the prefix.
set -uo pipefail

scenario=${1:?usage: run-scenario.sh SCENARIO.scn}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
HOST_BUILD=${TWK_HOST_BUILD:-$ROOT/build/host}
BIN=${TWK_BIN:-$ROOT/build/bin}
TWK=$BIN/twk
WINE=/usr/lib/wine/wine64
ROBOT=$BIN/e2e/robot.exe
PROGRAM_LIMIT=${E2E_PROGRAM_LIMIT:-90}   # seconds a program may run after its last step
ROBOT_LIMIT=${E2E_ROBOT_LIMIT:-300}      # seconds for all the steps of one section
export ROOT HOST_BUILD BIN TWK

# Everything below needs the virtual screen: the script runs itself again inside it.
if [[ -z ${E2E_INSIDE_XVFB:-} ]]; then
  E2E_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

name=$(basename "$scenario" .scn)
start=$SECONDS
WORK=$(mktemp -d "${TMPDIR:-/tmp}/twk-e2e-$name.XXXXXX")
export WORK WINEPREFIX=$WORK/prefix WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
log=$WORK/log.txt

finish() {
  local verdict=$1 reason=${2:-}
  timeout 20 wineserver -k >/dev/null 2>&1
  local line="$verdict $name ($((SECONDS - start)) s)${reason:+: $reason}"
  echo "$line"
  if [[ $verdict == FAIL ]]; then sed 's/^/    /' "$log" | tail -n 40; fi
  if [[ -z ${E2E_KEEP:-} ]]; then rm -rf "$WORK"; else echo "    kept: $WORK"; fi
  [[ $verdict == PASS ]]
  exit $?
}

# Expands $VARIABLES in a scenario word without running anything else.
expand() { local text=$1; eval "printf '%s' \"${text//\"/\\\"}\""; }

# C:\Some\Path -> the file in the prefix's drive_c.
unix_path() {
  local path=${1//\\//}
  local drive=${path:0:1}
  printf '%s/drive_%s%s' "$WINEPREFIX" "${drive,,}" "${path:2}"
}

# --- reading the scenario --------------------------------------------------------------
program="" arguments="" section="" setup_lines=() check_lines=()
step_heads=()   # one "[steps ...]" head per section; its steps are in $WORK/steps.N
while IFS= read -r line || [[ -n $line ]]; do
  line=${line%$'\r'}
  [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
  case $line in
    "[setup]") section=setup; continue ;;
    "[checks]") section=checks; continue ;;
    "[steps"*"]")
      section=steps
      step_heads+=("$(sed -E 's/^\[steps ?(.*)\]$/\1/' <<<"$line")")
      : >"$WORK/steps.${#step_heads[@]}"
      continue ;;
  esac
  case $section in
    "") case $line in
          program\ *) program=${line#program } ;;
          arguments\ *) arguments=${line#arguments } ;;
          *) echo "$scenario: unknown header line: $line" >"$log"; finish FAIL "bad scenario" ;;
        esac ;;
    setup) setup_lines+=("$line") ;;
    steps)
      if [[ $line == "include "* ]]; then
        cat "$(dirname "$scenario")/${line#include }" >>"$WORK/steps.${#step_heads[@]}" ||
          { echo "cannot include ${line#include }" >"$log"; finish FAIL "bad scenario"; }
      else
        printf '%s\n' "$line" >>"$WORK/steps.${#step_heads[@]}"
      fi ;;
    checks) check_lines+=("$line") ;;
  esac
done <"$scenario"
[[ ${#step_heads[@]} -gt 0 ]] || { echo "no [steps] section" >"$log"; finish FAIL "bad scenario"; }
[[ -f $ROBOT ]] || { echo "missing $ROBOT (make all)" >"$log"; finish FAIL "no robot"; }

# --- setting up ------------------------------------------------------------------------
if [[ ${#setup_lines[@]} -gt 0 ]]; then
  printf '%s\n' "${setup_lines[@]}" >"$WORK/setup.sh"
  (cd "$WORK" && bash -e "$WORK/setup.sh") >>"$log" 2>&1 || finish FAIL "setup failed"
fi
boot_start=$SECONDS
timeout 120 "$WINE" wineboot -i >>"$log" 2>&1
timeout 60 wineserver -w
echo "prefix ready in $((SECONDS - boot_start)) s" >>"$log"

# --- playing each [steps] section ------------------------------------------------------
uninstall_string() {
  local key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1"
  "$WINE" reg query "$key" /v UninstallString 2>/dev/null |
    sed -nE 's/^[[:space:]]*UninstallString[[:space:]]+REG_[A-Z_]+[[:space:]]+(.*)$/\1/p' |
    tr -d '\r'
}

run_section() {
  local index=$1 head=$2 path args
  if [[ -z $head ]]; then
    path=$(expand "$program") args=$(expand "$arguments")
  elif [[ $head == "@uninstall "* ]]; then
    path=$(uninstall_string "${head#@uninstall }") args=""
    [[ -n $path ]] || finish FAIL "no UninstallString for ${head#@uninstall }"
  else
    read -r path args <<<"$head"
    path=$(expand "$path") args=$(expand "$args")
  fi
  echo "--- section $index: $path $args" >>"$log"
  # shellcheck disable=SC2086  # the arguments are meant to split at blanks
  "$WINE" "$path" $args >>"$log" 2>&1 &
  local steps="Z:${WORK//\//\\}\\steps.$index"
  timeout "$ROBOT_LIMIT" "$WINE" "$ROBOT" "$steps" >>"$log" 2>&1
  local robot=$?
  [[ $robot -eq 0 ]] || finish FAIL "robot stopped in section $index (status $robot)"
  timeout "$PROGRAM_LIMIT" wineserver -w ||
    finish FAIL "section $index: the program was still running after $PROGRAM_LIMIT s"
  wait
}

for ((i = 1; i <= ${#step_heads[@]}; i++)); do run_section "$i" "${step_heads[i - 1]}"; done

# --- checking the machine --------------------------------------------------------------
reg_value() {  # KEY NAME -> prints the value's data; status 1 when missing
  local out
  out=$("$WINE" reg query "$1" /v "$2" 2>/dev/null) || return 1
  sed -nE "s/^[[:space:]]*$(sed 's/[][\.*^$/]/\\&/g' <<<"$2")[[:space:]]+REG_[A-Z_]+[[:space:]]*(.*)$/\1/p" \
    <<<"$out" | tr -d '\r' | head -n 1
}

check() {
  local kind=$1; shift
  case $kind in
    file) [[ -f $(unix_path "$1") ]] || { echo "missing file $1"; return 1; } ;;
    no-file) [[ ! -e $(unix_path "$1") ]] || { echo "file should be gone: $1"; return 1; } ;;
    dir) [[ -d $(unix_path "$1") ]] || { echo "missing folder $1"; return 1; } ;;
    no-dir) [[ ! -e $(unix_path "$1") ]] || { echo "folder should be gone: $1"; return 1; } ;;
    reg)
      local data
      data=$(reg_value "$1" "$2") || { echo "missing value $1 $2"; return 1; }
      if [[ $# -ge 3 && $data != "$3" ]]; then echo "$1 $2 is \"$data\", not \"$3\""; return 1; fi ;;
    no-reg)
      if [[ $# -ge 2 ]]; then
        "$WINE" reg query "$1" /v "$2" >/dev/null 2>&1 && { echo "value should be gone: $1 $2"; return 1; }
      else
        "$WINE" reg query "$1" >/dev/null 2>&1 && { echo "key should be gone: $1"; return 1; }
      fi ;;
    *) echo "unknown check: $kind"; return 1 ;;
  esac
  return 0
}

failures=0
for line in "${check_lines[@]}"; do
  # Checks take shell words: a quoted key may hold blanks and backslashes stay as they are.
  read -r kind rest <<<"$line"
  if [[ $kind == file || $kind == no-file || $kind == dir || $kind == no-dir ]]; then
    words=("$rest")
  else
    eval "words=($rest)"
  fi
  if ! message=$(check "$kind" "${words[@]}"); then
    echo "check failed: $message" >>"$log"
    failures=$((failures + 1))
    first=${first:-$message}
  fi
done
[[ $failures -eq 0 ]] || finish FAIL "$failures check(s) failed, first: $first"
finish PASS
