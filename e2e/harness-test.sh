#!/usr/bin/env bash
# Checks the scenario runner itself, without Wine: every case fails before the prefix is
# made, and the FAIL line must say exactly where. Run by ctest (make test).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# expect_fail SCENARIO-TEXT EXPECTED-FAIL-LINE [TEXT-OF-THE-LOG-SHOWN-BELOW-IT]
expect_fail() {
  printf '%s\n' "$1" >"$work/case.scn"
  local output
  # The seconds it took are left out: they are not the harness's to promise.
  output=$("$here/run-scenario.sh" "$work/case.scn" | sed -E '1s/ \([0-9]+ s\)//')
  if [[ ${output%%$'\n'*} != "$2" || $output != *"${3:-}"* ]]; then
    echo "harness-test: expected \"$2\" ${3:+and \"$3\" below it}" >&2
    echo "              got:" >&2
    echo "$output" >&2
    failures=$((failures + 1))
  fi
}

# A failing bash line is named with its line in the scenario (comments and blank lines
# counted), and nothing after it runs.
expect_fail 'program x.exe

[setup]
# a comment
touch made-first
test -f made-first
test -f /no/such/file
touch never-made
[steps]
include install-defaults.steps' \
  'FAIL case: setup failed at case.scn:7: test -f /no/such/file (status 1)'

# Included step files are found beside the scenario and in e2e/scenarios; a missing one
# names the line that includes it.
printf 'sleep 1\n' >"$work/beside.steps"
expect_fail 'program x.exe
[steps]
include beside.steps
include finish-install.steps
include no-such.steps' 'FAIL case: bad scenario' \
  'case.scn:5: no step file no-such.steps beside the scenario or in e2e/scenarios'

[[ $failures -eq 0 ]] && echo "harness-test: all cases pass"
exit $((failures > 0))
