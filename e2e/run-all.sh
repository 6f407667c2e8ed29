#!/usr/bin/env bash
# Plays every scenario in e2e/scenarios one after another (each on its own fresh prefix),
# then twk.exe's own checks (e2e/twk-exe.sh, one more), and prints "N passed, M failed".
# Exits 1 when any failed. Run by `make e2e` and `make test`.
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
if "$here/twk-exe.sh"; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
