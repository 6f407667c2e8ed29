#!/usr/bin/env bash
# bench/compare.sh CORPUS [RUNS]
#
# Prints how the block codec and twk compare with their usual peers on one folder of
# files, each figure beside its peer from the same run:
#   - block decode and encode speed, beside bzip2 -1 on the same pieces (codec_bench);
#   - the package's size, beside bzip2 -1 on the same pieces;
#   - twk build beside tar -cjf, twk extract beside tar -xjf, on the same files
#     (wall time, best of RUNS rounds, default 3; the two alternate within each round);
#   - the builder's peak memory, on the folder and on a 1 GiB file of zeros;
#   - the size of the i686 stub.
# It asserts nothing about time: the figures depend on the machine and on what else runs.
# It does fail when the extracted files differ from their sources.
#
# Hidden files (such as a corpus marker) are left out, and so are files whose paths
# differ from another's only in letter case: Windows cannot hold both, and twk build
# refuses to install two files to one place. The standard corpus is made by
# make-corpus.sh DEST from the shared bench folder.
#
# TWK_BIN (default build/bin) holds twk and the stubs; TWK_HOST_BUILD (default
# build/host) holds bench/codec_bench.
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:?usage: bench/compare.sh CORPUS [RUNS]}
runs=${2:-3}
corpus=$(cd "$corpus" && pwd)
bin=${TWK_BIN:-$root/build/bin}
twk=$bin/twk
codec_bench=${TWK_HOST_BUILD:-$root/build/host}/bench/codec_bench
for tool in "$twk" "$codec_bench" /usr/bin/time; do
  [ -x "$tool" ] || { echo "compare: $tool is missing (make all; make setup for /usr/bin/time)" >&2; exit 2; }
done
command -v bzip2 >/dev/null || { echo "compare: bzip2 is missing" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- the files: every regular, non-hidden file, minus case collisions -----------------
source "$root/bench/corpus_files.sh"
total_files=$(wc -l < "$work/all")
case_dropped=$(( total_files - $(awk '{ print tolower($0) }' "$work/all" | sort | uniq -u | wc -l) ))

{
  printf '[Setup]\nTitle = Benchmark\nProgramFolder = Benchmark\n\n[Files]\n'
  while IFS= read -r path; do
    printf '%s %s\n' "$(quote "$corpus/$path")" "$(quote "{OurProgramDir}\\${path//\//\\}")"
  done < "$work/files"
} > "$work/bench.twk"

# --- timing helpers --------------------------------------------------------------------
declare -A best=()   # best wall time per label
declare -A peak=()   # largest RSS per label
# measure LABEL COMMAND...: runs the command under /usr/bin/time and keeps its wall time
# and peak RSS under LABEL. Not in a subshell, so that a failure ends the script.
measure() {
  local label=$1; shift
  /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>"$work/stderr" || {
    echo "compare: failed: $*" >&2; cat "$work/stderr" "$work/time" >&2; exit 1; }
  local seconds kb
  read -r seconds kb < "$work/time"
  if [ -z "${best[$label]:-}" ] || awk -v a="$seconds" -v b="${best[$label]}" 'BEGIN { exit !(a < b) }'; then
    best[$label]=$seconds
  fi
  if [ -z "${peak[$label]:-}" ] || [ "$kb" -gt "${peak[$label]}" ]; then peak[$label]=$kb; fi
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

# --- codec_bench: the same pieces through both codecs ----------------------------------
echo "compare: codec_bench on $corpus ..." >&2
"$codec_bench" "$corpus" > "$work/codec"
codec_line=$(grep '^codec (' "$work/codec")
bzip2_line=$(grep '^bzip2 -1 per piece' "$work/codec")
read -r ours_bytes ours_encode ours_decode < <(awk '{ print $(NF-3), $(NF-1), $NF }' <<< "$codec_line")
read -r bz_bytes bz_encode bz_decode < <(awk '{ print $(NF-3), $(NF-1), $NF }' <<< "$bzip2_line")
huffman_decode=$(awk '/^decode stages/ { on = 1; next } on && $1 == "huffman" { print $2; exit }' "$work/codec")

# --- build and extract, alternating with tar ------------------------------------------
echo "compare: $runs rounds of twk build / tar -cjf / twk extract / tar -xjf ..." >&2
tr '\n' '\0' < "$work/files" > "$work/files0"
for ((round = 1; round <= runs; round++)); do
  measure build "$twk" build "$work/bench.twk" -o "$work/SETUP.EXE"
  measure tar_c tar -cjf "$work/files.tar.bz2" -C "$corpus" --null --no-recursion -T "$work/files0"
  rm -rf "$work/x" "$work/t" && mkdir "$work/x" "$work/t"
  measure extract "$twk" extract "$work/SETUP.EXE" -d "$work/x"
  measure tar_x tar -xjf "$work/files.tar.bz2" -C "$work/t"
done
while IFS= read -r path; do
  cmp -s "$corpus/$path" "$work/x/OurProgramDir/$path" || {
    echo "compare: twk extract gave a different $path" >&2; exit 1; }
done < "$work/files"
extracted=$(find "$work/x" -type f | wc -l)
[ "$extracted" -eq "$kept_files" ] || { echo "compare: twk extract wrote $extracted files, not $kept_files" >&2; exit 1; }
installer_bytes=$(stat -c %s "$work/SETUP.EXE")
tar_bytes=$(stat -c %s "$work/files.tar.bz2")
rm -rf "$work/x" "$work/t" "$work/files.tar.bz2"

# --- peak memory on one large input ----------------------------------------------------
truncate -s 1G "$work/zeros.bin"
printf '[Setup]\nProgramFolder = Zeros\n[Files]\n%s {OurProgramDir}\\zeros.bin\n' \
  "$(quote "$work/zeros.bin")" > "$work/zeros.twk"
measure zeros "$twk" build "$work/zeros.twk" -o "$work/ZEROS.EXE"
rm -f "$work/ZEROS.EXE" "$work/zeros.bin"

stub=$bin/stub-x86.exe
stub_bytes=$([ -f "$stub" ] && stat -c %s "$stub" || echo "-")

# --- the table -------------------------------------------------------------------------
mb() { awk -v k="$1" 'BEGIN { printf "%.1f MB", k / 1024 }'; }
echo
echo "corpus $corpus (id $corpus_id): $kept_files files, $kept_bytes bytes;" \
     "left out: $((total_files - kept_files)) ($case_dropped whose names differ only in letter case)"
echo "wall times: best of $runs rounds; twk build uses $(nproc) cores by default"
printf '%-34s %-16s %-26s %-8s %s\n' "what" "twk" "peer" "ratio" "goal"
printf '%-34s %-16s %-26s %-8s %s\n' "block decode, MB/s (codec_bench)" "$ours_decode" \
  "bzip2 -1: $bz_decode" "$(ratio "$ours_decode" "$bz_decode")x" ">= 1.0x"
printf '%-34s %-16s %-26s %-8s %s\n' "  Huffman stage alone, MB/s" "$huffman_decode" "" "" ""
printf '%-34s %-16s %-26s %-8s %s\n' "block encode, MB/s (codec_bench)" "$ours_encode" \
  "bzip2 -1: $bz_encode" "$(ratio "$ours_encode" "$bz_encode")x" ""
printf '%-34s %-16s %-26s %-8s %s\n' "twk extract, s (peer / twk)" "${best[extract]}" \
  "tar -xjf: ${best[tar_x]}" "$(ratio "${best[tar_x]}" "${best[extract]}")x" ">= 1.0x"
printf '%-34s %-16s %-26s %-8s %s\n' "twk build, s (peer / twk)" "${best[build]}" \
  "tar -cjf: ${best[tar_c]}" "$(ratio "${best[tar_c]}" "${best[build]}")x" ">= 2.0x"
printf '%-34s %-16s %-26s %-8s %s\n' "package size, bytes (per piece)" "$ours_bytes" \
  "bzip2 -1: $bz_bytes" "$(awk -v a="$ours_bytes" -v b="$bz_bytes" 'BEGIN { printf "%.3f", a / b }')x" \
  "<= 1.104x"
printf '%-34s %-16s %-26s %-8s %s\n' "  installer / tar.bz2, bytes" "$installer_bytes" \
  "tar -cjf: $tar_bytes" "$(awk -v a="$installer_bytes" -v b="$tar_bytes" 'BEGIN { printf "%.3f", a / b }')x" ""
printf '%-34s %-16s %-26s %-8s %s\n' "builder peak memory" "$(mb "${peak[build]}")" \
  "tar -cjf: $(mb "${peak[tar_c]}")" "" "<= 64 MB"
printf '%-34s %-16s %-26s %-8s %s\n' "  on a 1 GiB file of zeros" "$(mb "${peak[zeros]}")" \
  "(${best[zeros]} s)" "" "<= 64 MB"
printf '%-34s %-16s %-26s %-8s %s\n' "i686 stub, bytes" "$stub_bytes" "" "" "< 27648"
