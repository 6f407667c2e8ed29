#!/usr/bin/env bash
# Plays every scenario in e2e/scenarios one after another (each on its own fresh prefix)
# and prints "N passed, M failed". Exits 1 when any failed. Run by `make e2e`.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
passed=0 failed=0
for scenario in "$here"/scenarios/*.scn; do
  if "$here/run-scenario.sh" "$scenario"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
done
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
