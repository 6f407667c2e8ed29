#!/usr/bin/env bash
# bench/install_compare.sh CORPUS [RUNS]
#
# Prints how long the real stub takes to install a folder of files quietly under Wine,
# beside NSIS (Debian's `nsis`, used here only as a peer) installing the same files:
#   - ours:       twk build --arch x64, every file register=no;
#   - NSIS zlib:  SetCompressor /SOLID /FINAL zlib, the amd64-unicode stub;
#   - NSIS lzma:  SetCompressor /SOLID /FINAL lzma, the amd64-unicode stub;
# each installed with "SETUP.EXE /S /D=C:\Corpus" into one booted prefix whose Wine server
# is kept running (wineserver -p), RUNS rounds (default 3) interleaved, then the quiet
# uninstall of each beside the others. Prints each median and our ratio to each peer.
# The files of our first installation are compared with what twk extract gets out of the
# same installer.
# It asserts nothing about time: the figures depend on the machine and on what else runs.
#
# TWK_BIN (default build/bin) holds twk and the stubs. BENCH_TASKSET="taskset -c 0" runs
# every installer on one core (to see what the threads of the stub give per core);
# BENCH_KEEP=1 keeps the scratch folder.
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:?usage: bench/install_compare.sh CORPUS [RUNS]}
runs=${2:-3}
corpus=$(cd "$corpus" && pwd)
bin=${TWK_BIN:-$root/build/bin}
twk=$bin/twk
source "$root/e2e/wine-tools.sh"
for tool in "$twk" "$bin/stub-x64.exe"; do
  [ -x "$tool" ] || { echo "install_compare: $tool is missing (make all)" >&2; exit 2; }
done
command -v makensis >/dev/null ||
  { echo "install_compare: makensis is missing (make setup, or apt-get install nsis)" >&2; exit 2; }

# Everything below needs a screen, even a quiet run (the stub makes its hidden window).
if [[ -z ${BENCH_INSIDE_XVFB:-} ]]; then
  BENCH_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/twk-bench-install.XXXXXX")
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$HOME"
export WINEPREFIX=$work/prefix WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEDEBUG=-all
cleanup() {
  timeout 20 "$WINESERVER" -k >/dev/null 2>&1 || true
  if [[ -z ${BENCH_KEEP:-} ]]; then rm -rf "$work"; else echo "kept: $work" >&2; fi
}
trap cleanup EXIT
read -r -a pin <<< "${BENCH_TASKSET:-}"

# --- the files: as bench/compare.sh chooses them ---------------------------------------
source "$root/bench/corpus_files.sh"

# --- the installers ----------------------------------------------------------------------
{
  printf '[Setup]\nTitle = Corpus\nProductKey = Corpus\nProgramFolder = C:\\Corpus\n\n[Files]\n'
  while IFS= read -r path; do
    printf '%s %s register=no\n' "$(quote "$corpus/$path")" "$(quote "{OurProgramDir}\\${path//\//\\}")"
  done < "$work/files"
} > "$work/ours.twk"
echo "install_compare: building the installers ..." >&2
"$twk" build "$work/ours.twk" -o "$work/ours/SETUP.EXE" --arch x64 >/dev/null
# What the stub must write: the package's bytes, which for a file with the
# self-registration marker are not its source's (register=no renames the marker).
"$twk" extract "$work/ours/SETUP.EXE" -d "$work/expected" >/dev/null

# One NSIS script per compressor: the files folder by folder, and an uninstaller that
# removes them and the folders.
nsis_script() {
  local compressor=$1
  printf 'Unicode true\nTarget amd64-unicode\nSetCompressor /SOLID /FINAL %s\n' "$compressor"
  printf 'Name "Corpus"\nOutFile "SETUP.EXE"\nInstallDir "C:\\Corpus"\nRequestExecutionLevel admin\n'
  printf 'Section\n'
  local folder="" dir
  while IFS= read -r path; do
    dir=$(dirname "$path"); [ "$dir" = . ] && dir=""
    if [ "$dir" != "$folder" ] || [ -z "$folder" ]; then
      printf '  SetOutPath "$INSTDIR%s"\n' "${dir:+\\${dir//\//\\}}"
      folder=$dir
    fi
    printf '  File "%s"\n' "$corpus/$path"
  done < "$work/files"
  printf '  WriteUninstaller "$INSTDIR\\uninst.exe"\nSectionEnd\n'
  printf 'Section Uninstall\n'
  while IFS= read -r path; do printf '  Delete "$INSTDIR\\%s"\n' "${path//\//\\}"; done < "$work/files"
  printf '  Delete "$INSTDIR\\uninst.exe"\n'
  # Deepest folders first.
  awk -F/ '{ p = ""; for (i = 1; i < NF; i++) { p = p (i > 1 ? "/" : "") $i; print NF - 1 - i, p } }' \
    "$work/files" | sort -u | sort -k1,1n -k2r | awk '{ print $2 }' | awk '!seen[$0]++' |
    while IFS= read -r dir; do printf '  RMDir "$INSTDIR\\%s"\n' "${dir//\//\\}"; done
  printf '  RMDir "$INSTDIR"\nSectionEnd\n'
}
for compressor in zlib lzma; do
  mkdir -p "$work/nsis-$compressor"
  nsis_script "$compressor" > "$work/nsis-$compressor/corpus.nsi"
  (cd "$work/nsis-$compressor" && makensis -V1 corpus.nsi >/dev/null)
done

# --- the prefix ------------------------------------------------------------------------
echo "install_compare: booting a Wine prefix ..." >&2
# The server stays up between runs (as on Windows, nothing of the system starts anew
# for each program), so each figure is one program's own start and work.
mkdir -p "$WINEPREFIX"
"$WINESERVER" -p
timeout 180 "$WINE" wineboot -i >/dev/null 2>&1
target=$WINEPREFIX/drive_c/Corpus

# The wall time of one command, in seconds.
timed() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }'
}
declare -A times=()
record() { times[$1]="${times[$1]:-} $2"; }

install_one() { # NAME: installs, then uninstalls
  local name=$1 seconds
  rm -rf "$target"
  seconds=$(timed "${pin[@]}" "$WINE" "$work/$name/SETUP.EXE" /S '/D=C:\Corpus')
  record "install $name" "$seconds"
  if [ "$name" = ours ] && [ -z "${checked:-}" ]; then
    while IFS= read -r path; do
      cmp -s "$work/expected/OurProgramDir/$path" "$target/$path" || {
        echo "install_compare: our installation gave a different $path" >&2; exit 1; }
    done < "$work/files"
    checked=1
  fi
  if [ "$name" = ours ]; then
    seconds=$(timed "${pin[@]}" "$WINE" 'C:\Corpus\UNINST.EXE' /S)
  else
    # _?= runs the uninstaller in place, so that the command waits for it.
    seconds=$(timed "${pin[@]}" "$WINE" 'C:\Corpus\uninst.exe' /S '_?=C:\Corpus')
  fi
  record "uninstall $name" "$seconds"
  rm -rf "$target"
}

echo "install_compare: $runs rounds of quiet installs and uninstalls, interleaved ..." >&2
for ((round = 1; round <= runs; round++)); do
  for name in ours nsis-zlib nsis-lzma; do install_one "$name"; done
done

median() { tr ' ' '\n' <<< "$1" | grep . | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
size() { stat -c %s "$work/$1/SETUP.EXE"; }

echo
echo "corpus $corpus (id $corpus_id): $kept_files files, $kept_bytes bytes"
echo "quiet install and uninstall under Wine, median of $runs interleaved rounds;" \
     "$(nproc) cores${BENCH_TASKSET:+, run under: $BENCH_TASKSET}; load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-12s %12s %12s %14s %14s %14s\n' "installer" "bytes" "install, s" "ours / this" \
  "uninstall, s" "ours / this"
ours_install=$(median "${times[install ours]}")
ours_uninstall=$(median "${times[uninstall ours]}")
for name in ours nsis-zlib nsis-lzma; do
  install=$(median "${times[install $name]}")
  uninstall=$(median "${times[uninstall $name]}")
  printf '%-12s %12s %12s %14s %14s %14s\n' "$name" "$(size "$name")" "$install" \
    "$(ratio "$ours_install" "$install")x" "$uninstall" "$(ratio "$ours_uninstall" "$uninstall")x"
done
echo "each install, s:"
for name in ours nsis-zlib nsis-lzma; do echo "  $name:${times[install $name]}"; done
