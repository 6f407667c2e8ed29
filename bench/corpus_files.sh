# Sourced by the benchmarks: which files of a corpus they pack, and what identifies it.
# Needs $corpus (an absolute folder) and $work; writes $work/all (every regular,
# non-hidden file) and $work/files (those kept), and sets kept_files, kept_bytes,
# corpus_id, and quote (a script text: "" stands for ").

(cd "$corpus" && find . -type f ! -path '*/.*' -printf '%P\n') | sort > "$work/all"
# Names that differ only in case are one name on Windows: none of them is kept.
awk '{ key = tolower($0); count[key]++; line[NR] = $0; lower[NR] = key }
     END { for (i = 1; i <= NR; i++) if (count[lower[i]] == 1) print line[i] }' \
  "$work/all" > "$work/files"
# Control characters cannot go into a script; very long names not into a target.
grep -v '[[:cntrl:]]' "$work/files" | awk 'length($0) <= 230' > "$work/kept" || true
mv "$work/kept" "$work/files"
kept_files=$(wc -l < "$work/files")
kept_bytes=$(cd "$corpus" && tr '\n' '\0' < "$work/files" | xargs -0 stat -c %s | awk '{ s += $1 } END { print s + 0 }')
corpus_id=$( (cd "$corpus" && find . -type f ! -name .twk-corpus | sort | xargs -d '\n' sha256sum) |
            sha256sum | cut -c1-16)

quote() { local text=${1//\"/\"\"}; printf '"%s"' "$text"; }
