#!/usr/bin/env bash
# fuzz-smoke.sh SECONDS
#
# First checks that every fuzz target can see the code it runs (check-fuzz-coverage.sh),
# then runs every libFuzzer target of the fuzz build for an equal share of SECONDS,
# starting from its checked-in seeds under fuzz/corpus/<target>/, and fails on any crash.
# Prints each target's executions and coverage (libFuzzer's cov: and ft: before and
# after). Inputs the fuzzer finds go to a temporary folder, never into the repository; a
# crashing input is kept and its path printed: copy it into fuzz/corpus/<target>/ once it
# is fixed, so that the replay tests replay it from then on.
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

scripts/check-fuzz-coverage.sh "${targets[@]}"

per_target=$(( seconds / ${#targets[@]} ))
[ "$per_target" -ge 1 ] || per_target=1
work=$(mktemp -d /tmp/twk-fuzz-smoke.XXXXXX)

# "fuzz_x: 12345 executions, cov 100 -> 140, ft 120 -> 300, 25 new inputs"
summarize() {
  awk -v target="$1" '
    $2 == "INITED" { for (i = 1; i < NF; ++i) { if ($i == "cov:") cov0 = $(i + 1)
                                             if ($i == "ft:") ft0 = $(i + 1) } }
    $2 == "DONE" { for (i = 1; i < NF; ++i) { if ($i == "cov:") cov1 = $(i + 1)
                                           if ($i == "ft:") ft1 = $(i + 1) } }
    /^stat::number_of_executed_units:/ { runs = $2 }
    /^stat::new_units_added:/ { added = $2 }
    END { printf "fuzz-smoke: %s: %s executions, cov %s -> %s, ft %s -> %s, %s new inputs\n",
                 target, runs, cov0, cov1, ft0, ft1, added }' "$2"
}

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
  summarize "$target" "$work/$target/log"
done

if [ "$status" -eq 0 ]; then
  rm -rf "$work"
  echo "fuzz-smoke: all ${#targets[@]} targets ran without a crash"
fi
exit "$status"
