#!/usr/bin/env bash
# check-fuzz-coverage.sh [TARGET...]
#
# Fails unless the fuzz targets can see the code they run. libFuzzer only learns from
# code compiled with coverage instrumentation: a library built without it still runs
# under the fuzzer, but the fuzzer is blind inside it and finds nothing there. For each
# target (default: every target with a seed folder under fuzz/corpus/), every object file
# it links from this project (its own objects and every member of every project library
# on its link line) that defines a function must register coverage counters.
#
# The build directory is TWK_FUZZ_BUILD_DIR (build/fuzz); it must be a Ninja build.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${TWK_FUZZ_BUILD_DIR:-build/fuzz}
bin_dir=${TWK_FUZZ_BIN_DIR:-$build_dir/bin}

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for folder in fuzz/corpus/*/; do targets+=("$(basename "$folder")"); done
fi

# The project's objects and libraries that ninja links into `target`: the inputs of its
# link step that lie inside the build directory (system libraries are absolute paths).
link_inputs() {
  local output
  output=$(realpath --relative-to="$build_dir" "$bin_dir/$1")
  ninja -C "$build_dir" -t query "$output" |
    awk '/^  input:/ { inputs = 1; next } /^  outputs:/ { inputs = 0 }
         inputs && $1 != "||" { name = ($1 == "|") ? $2 : $1
                                if (name !~ /^\//) print name }' | sort -u
}

# Prints "blind OBJECT" for each object of the given files (archives or objects) that
# defines a function of its own but registers no coverage counters, then "objects N",
# how many objects define functions: none would mean that nm's output is not what this
# script reads, and that nothing was checked. The compilers' own module constructors
# (asan.module_ctor, sancov.module_ctor...) do not count as functions.
uninstrumented_objects() {
  (cd "$build_dir" && nm -A -P "$@") | awk '
    NF >= 3 {
      object = $1; sub(/:$/, "", object); name = $2; type = $3
      if (!(object in seen)) { seen[object] = 1; order[++count] = object }
      if (type ~ /^[TtWi]$/ && name !~ /\./ && !(object in defines)) {
        defines[object] = 1; ++functions
      }
      if (name ~ /^__sanitizer_cov_(8bit_counters|bool_flag|trace_pc_guard)_init$/) {
        instrumented[object] = 1
      } }
    END { for (i = 1; i <= count; ++i) {
            object = order[i]
            if (defines[object] && !instrumented[object]) print "blind " object }
          print "objects " functions + 0 }'
}

status=0
for target in "${targets[@]}"; do
  if [ ! -x "$bin_dir/$target" ]; then
    echo "check-fuzz-coverage: $bin_dir/$target is missing; build it with: make fuzz" >&2
    exit 1
  fi
  listed=$(link_inputs "$target")
  mapfile -t inputs <<<"$listed"
  if [ -z "$listed" ]; then
    echo "check-fuzz-coverage: $target: ninja names no link inputs" >&2
    exit 1
  fi
  found=$(uninstrumented_objects "${inputs[@]}")
  objects=$(sed -n 's/^objects //p' <<<"$found")
  blind=$(sed -n 's/^blind //p' <<<"$found")
  if [ "${objects:-0}" -eq 0 ]; then
    echo "check-fuzz-coverage: $target: nm shows no object that defines a function" >&2
    status=1
  elif [ -n "$blind" ]; then
    echo "check-fuzz-coverage: $target links code without coverage instrumentation:" >&2
    sed 's/^/  /' <<<"$blind" >&2
    status=1
  else
    echo "check-fuzz-coverage: $target: all $objects objects with code are instrumented"
  fi
done
exit "$status"
