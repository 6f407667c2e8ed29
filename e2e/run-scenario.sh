#!/usr/bin/env bash
# Plays one end-to-end scenario on a fresh simulated Windows: a new Wine prefix, a virtual
# X screen, the program under test in the background and the robot driving its windows;
# then checks the files and registry values the scenario names. Prints one line
#   PASS name (N s)   or   FAIL name (N s): reason
# and exits 0 on PASS, 1 on FAIL.
#
# The scenario file, the robot's steps and the checks are described in e2e/README.md.
# TWK_HOST_BUILD and TWK_BIN name other build folders; E2E_KEEP=1 keeps the prefix.
set -uo pipefail

scenario=${1:?usage: run-scenario.sh SCENARIO.scn}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
HOST_BUILD=${TWK_HOST_BUILD:-$ROOT/build/host}
BIN=${TWK_BIN:-$ROOT/build/bin}
TWK=$BIN/twk
# shellcheck source=e2e/wine-tools.sh
source "$ROOT/e2e/wine-tools.sh"
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
# The prefix links the user's Desktop and Documents to $HOME: a home of its own keeps the
# shortcuts a scenario makes out of the real one.
mkdir -p "$WORK/home/Desktop"
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config
WINWORK="Z:${WORK//\//\\}"  # the scratch folder as the programs see it
export WORK WINWORK WINEPREFIX=$WORK/prefix WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEDEBUG=-all
log=$WORK/log.txt

finish() {
  local verdict=$1 reason=${2:-}
  jobs -p | xargs -r kill 2>/dev/null  # the program watcher, a program left running
  timeout 20 "$WINESERVER" -k >/dev/null 2>&1
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
  local drive=${path:0:1} names name match result
  result="$WINEPREFIX/drive_${drive,,}"
  # Windows ignores the letter case of names: each name is matched the same way.
  IFS=/ read -ra names <<<"${path:3}"
  for name in "${names[@]}"; do
    [[ -n $name ]] || continue
    if [[ ! -e $result/$name ]]; then
      match=$(find "$result" -mindepth 1 -maxdepth 1 -iname "$name" -print -quit 2>/dev/null)
      if [[ -n $match ]]; then result=$match; continue; fi
    fi
    result=$result/$name
  done
  printf '%s' "$result"
}

# --- reading the scenario --------------------------------------------------------------
# Each section after [setup] becomes an action: its kind in kinds[N], its head in heads[N]
# and its lines in $WORK/action.N. Bash lines ([setup] and [shell]) keep beside them, in
# $WORK/action.N.at, the scenario line each came from, so that a failure names it.
program="" arguments="" section="" kinds=() heads=() number=0

# An included step file: beside the scenario, or one of the shared ones in e2e/scenarios.
include_path() {
  local name=$1 folder
  for folder in "$(dirname "$scenario")" "$ROOT/e2e/scenarios"; do
    if [[ -f $folder/$name ]]; then printf '%s' "$folder/$name"; return 0; fi
  done
  return 1
}

# Appends the steps of FILE to action $2, $VARIABLES expanded as in the scenario itself.
include_steps() {
  local file step
  file=$(include_path "$1") ||
    { echo "$scenario:$number: no step file $1 beside the scenario or in e2e/scenarios" >"$log"
      finish FAIL "bad scenario"; }
  while IFS= read -r step || [[ -n $step ]]; do
    step=${step%$'\r'}
    [[ $step =~ ^[[:space:]]*(#|$) ]] && continue
    printf '%s\n' "$(expand "$step")" >>"$WORK/action.$2"
  done <"$file"
}

while IFS= read -r line || [[ -n $line ]]; do
  number=$((number + 1))
  line=${line%$'\r'}
  [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
  if [[ $line =~ ^\[(steps|shell|checks)( (.*))?\]$ ]]; then
    section=action
    kinds+=("${BASH_REMATCH[1]}")
    heads+=("${BASH_REMATCH[3]}")
    : >"$WORK/action.${#kinds[@]}"
    continue
  fi
  if [[ $line == "[setup]" ]]; then section=setup; continue; fi
  case $section in
    "") case $line in
          program\ *) program=${line#program } ;;
          arguments\ *) arguments=${line#arguments } ;;
          dll-overrides\ *) WINEDLLOVERRIDES+=";${line#dll-overrides }" ;;
          *) echo "$scenario:$number: unknown header line: $line" >"$log"; finish FAIL "bad scenario" ;;
        esac ;;
    setup)
      printf '%s\n' "$line" >>"$WORK/action.setup"
      printf '%s\n' "$number" >>"$WORK/action.setup.at" ;;
    action)
      if [[ ${kinds[-1]} == steps && $line == "include "* ]]; then
        include_steps "${line#include }" "${#kinds[@]}"
      elif [[ ${kinds[-1]} == steps ]]; then
        printf '%s\n' "$(expand "$line")" >>"$WORK/action.${#kinds[@]}"
      else
        printf '%s\n' "$line" >>"$WORK/action.${#kinds[@]}"
        printf '%s\n' "$number" >>"$WORK/action.${#kinds[@]}.at"
      fi ;;
  esac
done <"$scenario"
[[ " ${kinds[*]} " == *" steps "* ]] || { echo "no [steps] section" >"$log"; finish FAIL "bad scenario"; }
[[ -f $ROBOT ]] || { echo "missing $ROBOT (make all)" >"$log"; finish FAIL "no robot"; }

# Runs the bash lines of action $1 in $WORK, stopping at the first that fails; then
# prints "SCENARIO:LINE: the line (status N)" and fails.
run_bash_lines() {
  local action=$WORK/action.$1 failed=$WORK/failed.$1 at status
  (cd "$WORK" && bash -e -c 'trap "echo \$? \$LINENO >\"\$1\"" ERR; . "$2"' _ "$failed" "$action") \
    >>"$log" 2>&1 && return 0
  status=$?
  local code=$status index=""
  [[ -s $failed ]] && read -r code index <"$failed"
  if [[ -n $index ]]; then
    at=$(sed -n "${index}p" "$action.at")
    echo "$(basename "$scenario"):$at: $(sed -n "${index}p" "$action") (status $code)"
  else
    echo "$(basename "$scenario"): a line failed (status $status)"
  fi
  return 1
}

# --- setting up ------------------------------------------------------------------------
if [[ -f $WORK/action.setup ]]; then
  failure=$(run_bash_lines setup) || finish FAIL "setup failed at $failure"
fi
boot_start=$SECONDS
timeout 120 "$WINE" wineboot -i >>"$log" 2>&1
timeout 60 "$WINESERVER" -w
# From here on the machine keeps running between sections. A Wine session that ends
# begins again as Windows starts (pending renames, run-once commands): a persistent
# server makes restarts happen only where the scenario asks for them (wineboot -r).
"$WINESERVER" -p >>"$log" 2>&1 || finish FAIL "the Wine server did not start"
echo "prefix ready in $((SECONDS - boot_start)) s" >>"$log"

# Prints the command line of every program of the prefix that still runs, leaving out
# the server and the services that Windows itself keeps running.
programs_running() {
  local environ line
  while IFS= read -r environ; do
    line=$({ tr '\0' ' ' <"${environ%/environ}/cmdline"; } 2>/dev/null)
    line=${line%"${line##*[! ]}"}  # Wine pads the command line with blanks
    case ${line,,} in
      *wineserver*) continue ;;
      *'\system32\services.exe'*|*'\system32\winedevice.exe'*|*'\system32\plugplay.exe'*) continue ;;
      *'\system32\svchost.exe'*|*'\system32\rpcss.exe'*|*'\system32\explorer.exe'*) continue ;;
      *'\system32\conhost.exe'*) continue ;;
      *.exe*|*/wine64\ *) printf '%s\n' "$line" ;;
    esac
  done < <(grep -lzxF "WINEPREFIX=$WINEPREFIX" /proc/[0-9]*/environ 2>/dev/null)
}

# Notes every program command line seen while a section runs, in $WORK/programs.txt.
watch_programs() {
  while :; do
    programs_running >>"$WORK/programs.txt"
    sleep 0.2
  done
}

# Waits until the programs of the prefix have ended (at most $1 seconds).
wait_for_programs() {
  local until=$((SECONDS + $1))
  while [[ -n $(programs_running) ]]; do
    ((SECONDS < until)) || return 1
    sleep 0.5
  done
}

# KEY NAME -> prints the value's data; status 1 when missing. NAME @ is the default value.
reg_value() {
  local out query=(/v "$2") label=$2
  if [[ $2 == @ ]]; then query=(/ve) label="(Default)"; fi
  out=$("$WINE" reg query "$1" "${query[@]}" 2>/dev/null) || return 1
  sed -nE "s/^[[:space:]]*$(sed 's/[][\.*^$/()]/\\&/g' <<<"$label")[[:space:]]+REG_[A-Z_]+[[:space:]]*(.*)$/\1/p" \
    <<<"$out" | tr -d '\r' | head -n 1
}

shell_folders="HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"
PROGRAMS=$(reg_value "$shell_folders" Programs) DESKTOP=$(reg_value "$shell_folders" Desktop)
export WINE PROGRAMS DESKTOP
export -f unix_path

# --- the actions -----------------------------------------------------------------------
uninstall_string() {
  reg_value "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" UninstallString
}

run_steps() {
  local index=$1 head=$2 path args
  if [[ -z $head ]]; then
    path=$(expand "$program") args=$(expand "$arguments")
  elif [[ $head == "@robot" ]]; then
    path="" args=""  # the robot's own steps start what they run (run-quiet)
  elif [[ $head == "@uninstall "* ]]; then
    # Started by the robot as Add/Remove Programs starts it: the value is a command line.
    [[ -n $(uninstall_string "${head#@uninstall }") ]] ||
      finish FAIL "no UninstallString for ${head#@uninstall }"
    path="" args=""
    { echo "start $head"; cat "$WORK/action.$index"; } >"$WORK/action.$index.started"
    mv "$WORK/action.$index.started" "$WORK/action.$index"
  else
    read -r path args <<<"$head"
    path=$(expand "$path") args=$(expand "$args")
  fi
  echo "--- section $index: $path $args" >>"$log"
  watch_programs &
  local watcher=$!
  # shellcheck disable=SC2086  # the arguments are meant to split at blanks
  if [[ -n $path ]]; then "$WINE" "$path" $args >>"$log" 2>&1 & fi
  local steps="$WINWORK\\action.$index"
  timeout "$ROBOT_LIMIT" "$WINE" "$ROBOT" "$steps" >>"$log" 2>&1
  local robot=$?
  [[ $robot -eq 0 ]] || finish FAIL "robot stopped in section $index (status $robot)"
  if ! wait_for_programs "$PROGRAM_LIMIT"; then
    programs_running | sed 's/^/still running: /' >>"$log"
    finish FAIL "section $index: a program was still running after $PROGRAM_LIMIT s"
  fi
  kill "$watcher" 2>/dev/null
  wait
}

run_shell() {
  echo "--- section $1: shell" >>"$log"
  local failure
  failure=$(run_bash_lines "$1") || finish FAIL "shell section $1 failed at $failure"
  wait_for_programs "$PROGRAM_LIMIT" || finish FAIL "section $1: a program was still running"
}

check() {
  local kind=$1; shift
  case $kind in
    file) [[ -f $(unix_path "$1") ]] || { echo "missing file $1"; return 1; } ;;
    no-file) [[ ! -e $(unix_path "$1") ]] || { echo "file should be gone: $1"; return 1; } ;;
    dir) [[ -d $(unix_path "$1") ]] || { echo "missing folder $1"; return 1; } ;;
    no-dir) [[ ! -e $(unix_path "$1") ]] || { echo "folder should be gone: $1"; return 1; } ;;
    same) cmp -s "$(unix_path "$1")" "$2" || { echo "$1 does not hold the bytes of $2"; return 1; } ;;
    same-time)
      local ours theirs
      ours=$(stat -c %Y "$(unix_path "$1")" 2>/dev/null) || { echo "missing file $1"; return 1; }
      theirs=$(stat -c %Y "$2")
      [[ $ours == "$theirs" ]] ||
        { echo "$1 was last written $(date -ud "@$ours" +%FT%T), not $(date -ud "@$theirs" +%FT%T)"; return 1; } ;;
    ran)
      grep -qiF -- "$1" "$WORK/programs.txt" 2>/dev/null ||
        { echo "no program ran as \"$1\""; return 1; } ;;
    contains)  # as ANSI or as UTF-16 text: a shortcut keeps some strings one way, some the other
      python3 -c 'import sys; d = open(sys.argv[1], "rb").read(); t = sys.argv[2]
sys.exit(0 if t.encode() in d or t.encode("utf-16-le") in d else 1)' "$(unix_path "$1")" "$2" \
        2>/dev/null || { echo "$1 does not hold \"$2\""; return 1; } ;;
    reg)
      local data
      data=$(reg_value "$1" "$2") || { echo "missing value $1 $2"; return 1; }
      if [[ $# -ge 3 && $data != "$3" ]]; then echo "$1 $2 is \"$data\", not \"$3\""; return 1; fi ;;
    no-reg)
      if [[ $# -ge 2 ]]; then
        reg_value "$1" "$2" >/dev/null && { echo "value should be gone: $1 $2"; return 1; }
      else
        "$WINE" reg query "$1" >/dev/null 2>&1 && { echo "key should be gone: $1"; return 1; }
      fi ;;
    *) echo "unknown check: $kind"; return 1 ;;
  esac
  return 0
}

# Splits a check line into words: reg checks take shell words (a quoted key may hold
# blanks; backslashes stay as they are); the others a Windows path up to the first
# blank that is followed by a host path or text (or the whole rest).
run_checks() {
  local line kind rest words message failures=0 first=""
  echo "--- section $1: checks" >>"$log"
  while IFS= read -r line; do
    read -r kind rest <<<"$line"
    case $kind in
      reg|no-reg) eval "words=($rest)" ;;
      same|same-time|contains)
        rest=$(expand "$rest")
        words=("${rest%% [/\"]*}" "${rest#"${rest%% [/\"]*} "}")
        words[1]=${words[1]#\"} words[1]=${words[1]%\"} ;;
      *) words=("$(expand "$rest")") ;;
    esac
    if ! message=$(check "$kind" "${words[@]}"); then
      echo "check failed: $message" >>"$log"
      failures=$((failures + 1))
      first=${first:-$message}
    fi
  done <"$WORK/action.$1"
  [[ $failures -eq 0 ]] || finish FAIL "$failures check(s) failed, first: $first"
}

for ((i = 1; i <= ${#kinds[@]}; i++)); do
  case ${kinds[i - 1]} in
    steps) run_steps "$i" "${heads[i - 1]}" ;;
    shell) run_shell "$i" ;;
    checks) run_checks "$i" ;;
  esac
done
finish PASS
