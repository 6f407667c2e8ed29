#!/usr/bin/env bash
# fuzz-smoke.sh SECONDS
#
# Runs every libFuzzer target of the fuzz build for a share of SECONDS, starting from its
# checked-in seeds under fuzz/corpus/<target>/, and fails on the first crash. Inputs the
# fuzzer finds go to a temporary folder, never into the repository; a crashing input is
# kept and its path printed: copy it into fuzz/corpus/<target>/ once it is fixed, so that
# the codec tests replay it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:?usage: fuzz-smoke.sh SECONDS}
bin_dir=${TWK_FUZZ_BIN_DIR:-build/fuzz/bin}
# Every target with a seed folder; a target is the executable of the folder's name.
targets=()
for folder in fuzz/corpus/*/; do
  targets+=("$(basename "$folder")")
done
[ ${#targets[@]} -gt 0 ] || { echo "fuzz-smoke: no seed folders under fuzz/corpus/" >&2; exit 1; }

for target in "${targets[@]}"; do
  if [ ! -x "$bin_dir/$target" ]; then
    echo "fuzz-smoke: $bin_dir/$target is missing;" \
         "build it with: cmake --preset fuzz && cmake --build --preset fuzz" >&2
    exit 1
  fi
done

per_target=$(( seconds / ${#targets[@]} ))
[ "$per_target" -ge 1 ] || per_target=1
work=$(mktemp -d /tmp/twk-fuzz-smoke.XXXXXX)

status=0
for target in "${targets[@]}"; do
  mkdir -p "$work/$target/corpus" "$work/$target/artifacts"
  echo "fuzz-smoke: $target for ${per_target}s"
  if ! "$bin_dir/$target" -max_total_time="$per_target" -timeout=20 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$work/$target/artifacts/" \
        "$work/$target/corpus" "fuzz/corpus/$target" >"$work/$target/log" 2>&1; then
    tail -n 40 "$work/$target/log" >&2
    echo "fuzz-smoke: $target FAILED; crashing input(s) kept in $work/$target/artifacts/" >&2
    status=1
    continue
  fi
  grep -E "^stat::number_of_executed_units|^Done" "$work/$target/log" || true
done

if [ "$status" -eq 0 ]; then
  rm -rf "$work"
  echo "fuzz-smoke: all ${#targets[@]} targets ran without a crash"
fi
exit "$status"
