#!/usr/bin/env bash
# twk.exe under Wine, beside the Linux twk. Every command, run by both on the same files
# from the same folder, ends with the same exit code, the same messages (line ends aside)
# and the same bytes: the example installer whole and in volumes, extracted trees, .reg
# files. Then what only Windows has: paths as a Windows user writes them, extraction's
# safety rules where they mean more, renaming over files that Windows guards, a name in
# the ANSI code page, and the Windows zip unpacked into a folder with a blank in its name.
# Prints "twk.exe: N passed, M failed" and exits 1 when any case failed. Run by
# e2e/run-all.sh (make e2e, make test) with the plain PATH, on a fresh prefix.
# TWK_HOST_BUILD and TWK_BIN name other build folders; E2E_KEEP=1 keeps the scratch folder.
set -uo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
HOST_BUILD=${TWK_HOST_BUILD:-$ROOT/build/host}
BIN=${TWK_BIN:-$ROOT/build/bin}
TWK=$BIN/twk
# Wine maps Unix file names through the locale's character set: without a UTF-8 one (a
# bare root shell, CI) the ANSI-code-page name below cannot reach the disk.
export LC_ALL=C.UTF-8
# shellcheck source=e2e/wine-tools.sh
source "$ROOT/e2e/wine-tools.sh"

for needed in "$BIN/twk.exe" "$TWK" "$BIN/stub-x64.exe" "$BIN/e2e/robot.exe" \
    "$HOST_BUILD/examples/product/demo.twk"; do
  [[ -f $needed ]] || { echo "twk-exe: $needed is missing: run make first" >&2; exit 1; }
done

WORK=$(mktemp -d "${TMPDIR:-/tmp}/twk-exe.XXXXXX")
finish() {
  timeout 20 "$WINESERVER" -k >/dev/null 2>&1
  if [[ -z ${E2E_KEEP:-} ]]; then rm -rf "$WORK"; else echo "kept: $WORK"; fi
}
trap finish EXIT
mkdir -p "$WORK/home"
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config WINEPREFIX=$WORK/prefix \
  WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEDEBUG=-all
# twk.exe prints no window: no screen is needed.
unset DISPLAY

passed=0 failed=0
pass() { passed=$((passed + 1)); }
fail() {
  failed=$((failed + 1))
  echo "FAIL twk.exe: $*"
}

# The Windows side works in C:\work, the Linux side in $LIN: the same files under the
# same relative names, so that messages naming them read the same.
"$WINE" wineboot -i >/dev/null 2>&1
C=$WINEPREFIX/drive_c
LIN=$WORK/linux
mkdir -p "$C/twk" "$C/work" "$LIN"
cp "$BIN/twk.exe" "$BIN/stub-x86.exe" "$BIN/stub-x64.exe" "$C/twk/"
volume_size=$(($(stat -c %s "$BIN/stub-x64.exe") + 2500))

# The tree both twks build from, made once and copied with its times, which go into the
# package.
make_tree() {
  local top=$1
  cp -rp "$HOST_BUILD/examples/product" "$top/demo"
  # !include with a backslash; sources are found from the main script's folder.
  mkdir -p "$top/incl/parts/files"
  printf '[Setup]\nTitle = Inc\nProductKey = Inc\nProgramFolder = Inc\n!include "parts\\files.twk"\n' \
    >"$top/incl/main.twk"
  printf '[Files]\nparts\\files\\*.txt {OurProgramDir}\\\n' >"$top/incl/parts/files.twk"
  printf 'one\n' >"$top/incl/parts/files/one.txt"
  printf 'two\n' >"$top/incl/parts/files/TWO.TXT"
  # Every error of a script at once.
  mkdir -p "$top/bad"
  printf '[Setup]\nTitle = Bad\nFrobnicate = 1\n[Files]\nmissing.txt {OurProgramDir}\\\nx.txt {Nowhere}\\x.txt\n' \
    >"$top/bad/bad.twk"
  # Targets that mean a device, a stream or a shortened name on Windows, and one good one.
  mkdir -p "$top/hostile"
  printf 'x\n' >"$top/hostile/x.txt"
  {
    printf '[Setup]\nTitle = H\nProductKey = H\nProgramFolder = H\n[Files]\n'
    for target in CON aux.txt "com1 .log" a.txt:x x. "sub \\x.txt" "a|b" good.txt; do
      printf 'x.txt "{OurProgramDir}\\%s"\n' "$target"
    done
  } >"$top/hostile/hostile.twk"
  # A name in the Windows code page (1252: e9 is e acute), in the script and the target.
  mkdir -p "$top/ansi"
  printf '[Setup]\nTitle = Caf\xe9\nProductKey = Ansi\nProgramFolder = Ansi\n[Files]\ncaf\xe9.txt {OurProgramDir}\\caf\xe9.txt\n' \
    >"$top/ansi/ansi.twk"
}
make_tree "$LIN"
cp -rp "$LIN/." "$C/work/"
# Wine shows the Windows name "café.txt" as UTF-8 on the Linux side; the Linux twk opens
# the script's bytes as they stand.
printf 'caf\n' >"$C/work/ansi/café.txt"
printf 'caf\n' >"$LIN/ansi/caf"$'\xe9'".txt"
touch -r "$C/work/ansi/café.txt" "$LIN/ansi/caf"$'\xe9'".txt"

win() { "$WINE" 'C:\twk\twk.exe' "$@"; }

# both CODE ARGS...: both twks, from their work folders, end with CODE and print the same.
both() {
  local expect=$1 lcode wcode
  shift
  (cd "$LIN" && "$TWK" "$@" >"$WORK/l.out" 2>"$WORK/l.err")
  lcode=$?
  (cd "$C/work" && win "$@" >"$WORK/w.out" 2>"$WORK/w.err")
  wcode=$?
  sed -i 's/\r$//' "$WORK/w.out" "$WORK/w.err"
  if [[ $lcode -ne $expect || $wcode -ne $expect ]]; then
    fail "twk $* ended with $lcode on Linux, $wcode under Wine (expected $expect)"
    sed 's/^/    win: /' "$WORK/w.err" | head -5
  elif ! cmp -s "$WORK/l.out" "$WORK/w.out" || ! cmp -s "$WORK/l.err" "$WORK/w.err"; then
    fail "twk $* printed otherwise under Wine"
    diff "$WORK/l.out" "$WORK/w.out" | head -8 | sed 's/^/    /'
    diff "$WORK/l.err" "$WORK/w.err" | head -8 | sed 's/^/    /'
  else
    pass
  fi
}

# same_files WINDOWS_PATH LINUX_PATH WHAT: the same bytes (a file) or the same tree.
same_files() {
  if diff -r "$1" "$2" >/dev/null 2>&1; then pass; else fail "$3: $1 and $2 differ"; fi
}

# --- the same commands on both systems ------------------------------------------------
both 0 --version
both 0 --help
both 0 build --help
both 2 frobnicate
both 0 build demo/demo.twk -o out/SETUP.EXE --arch x64 --jobs 1
both 0 build demo/demo.twk -o out/v/SETUP.EXE --arch x64 --jobs 2 --volume-size "$volume_size"
both 0 build demo/demo.twk -o out/d/SETUP.EXE --arch x64 -D VERSION=1.3
both 0 build incl/main.twk -o out/i/SETUP.EXE --arch x86
both 4 build bad/bad.twk -o out/bad/SETUP.EXE
both 3 build nowhere.twk
# The volumes of out/v are left over beside a whole installer: a warning, an error with --strict.
cp -p "$LIN/out/v/SETUP.001" "$LIN/out/SETUP.001"
cp -p "$C/work/out/v/SETUP.001" "$C/work/out/SETUP.001"
both 4 build demo/demo.twk -o out/SETUP.EXE --arch x64 --strict
rm "$LIN/out/SETUP.001" "$C/work/out/SETUP.001"
both 0 build hostile/hostile.twk -o out/h/SETUP.EXE --arch x64
both 0 build ansi/ansi.twk -o out/a/SETUP.EXE --arch x64
same_files "$C/work/out" "$LIN/out" "the installers and volumes built"
both 0 list out/SETUP.EXE
both 0 list --json out/v/SETUP.EXE
both 0 list out/a/SETUP.EXE
both 0 verify out/v/SETUP.EXE
both 0 verify --json out/SETUP.EXE
both 0 extract out/SETUP.EXE -d x/whole
both 0 extract out/v/SETUP.EXE -d x/volumes
both 0 extract out/i/SETUP.EXE -d x/incl
both 0 extract out/SETUP.EXE --reg x/demo.reg
both 5 extract out/h/SETUP.EXE -d x/hostile
cp "$LIN/out/SETUP.EXE" "$LIN/out/DAMAGED.EXE"
printf '\x55' | dd of="$LIN/out/DAMAGED.EXE" bs=1 seek=$(($(stat -c %s "$LIN/out/DAMAGED.EXE") - 300)) \
  conv=notrunc status=none
cp "$LIN/out/DAMAGED.EXE" "$C/work/out/DAMAGED.EXE"
both 1 verify out/DAMAGED.EXE
both 1 diff out/SETUP.EXE out/d/SETUP.EXE
both 0 diff --json out/SETUP.EXE out/v/SETUP.EXE
both 0 simulate out/SETUP.EXE --root pc
both 0 log "pc/C/Program Files/TWKSetup Demo/UNINST.EXE"
same_files "$C/work/x" "$LIN/x" "the files extracted"
[[ -f "$C/work/x/hostile/OurProgramDir/good.txt" && $(find "$C/work/x/hostile" -type f | wc -l) -eq 1 ]] &&
  pass || fail "the hostile installer wrote more than good.txt: $(find "$C/work/x/hostile" -type f)"

# --- paths as a Windows user writes them ------------------------------------------------
# Each case: the folder twk.exe starts in (below C:\), its arguments, and what it must have
# built (compared with the Linux build) or extracted (compared with the Linux tree).
mkdir -p "$WORK/ddrive" "$WINEPREFIX/dosdevices/unc/fileserver"
ln -s "$WORK/ddrive" "$WINEPREFIX/dosdevices/d:"
ln -s "$C/work" "$WINEPREFIX/dosdevices/unc/fileserver/share"
windows_cases=(
  # start in | arguments | result | the Linux twk's
  'twk|build C:\work\demo\demo.twk -o C:\work\p\abs\SETUP.EXE --arch x64|work/p/abs/SETUP.EXE|out/SETUP.EXE'
  '.|build work\demo\demo.twk -o work\p\back\SETUP.EXE --arch x64|work/p/back/SETUP.EXE|out/SETUP.EXE'
  'twk|build ..\work\demo/demo.twk -o ..\work\p\mixed\SETUP.EXE --arch x64|work/p/mixed/SETUP.EXE|out/SETUP.EXE'
  'work/demo|build demo.twk -o out\SETUP.EXE --arch x64|work/demo/out/SETUP.EXE|out/SETUP.EXE'
  'twk|build C:\work\demo\demo.twk --arch x64|work/demo/SETUP.EXE|out/SETUP.EXE'
  "twk|build C:\\work\\demo\\demo.twk -o C:\\work\\p\\vol\\SETUP.EXE --arch x64 --volume-size $volume_size|work/p/vol|out/v"
  'twk|build \\fileserver\share\demo\demo.twk -o \\fileserver\share\p\unc\SETUP.EXE --arch x64|work/p/unc/SETUP.EXE|out/SETUP.EXE'
  'twk|extract C:\work\out\SETUP.EXE -d D:\x|../../ddrive/x|x/whole'
  'twk|extract C:\work\out\SETUP.EXE -d \\fileserver\share\p\unc-x|work/p/unc-x|x/whole'
  'twk|extract C:\work\out\SETUP.EXE -d \\?\C:\work\p\long-x|work/p/long-x|x/whole'
  'work|extract out\v\SETUP.EXE -d p\rel-x|work/p/rel-x|x/volumes'
  # Extracted again over the same files: each is renamed over the one there.
  'work|extract out\v\SETUP.EXE -d p\rel-x|work/p/rel-x|x/volumes'
)
for row in "${windows_cases[@]}"; do
  IFS='|' read -r start arguments result linux <<<"$row"
  read -ra words <<<"$arguments"
  if ! (cd "$C/$start" && win "${words[@]}" >"$WORK/w.out" 2>"$WORK/w.err"); then
    fail "twk.exe ${arguments} (in C:\\$start) failed: $(tr -d '\r' <"$WORK/w.err" | head -3)"
  else
    same_files "$C/$result" "$LIN/$linux" "twk.exe $arguments"
  fi
done

# A file marked read-only is replaced, as on Linux (Windows' own rename refuses it).
"$WINE" cmd /c attrib +r 'C:\work\p\rel-x\OurProgramDir\manual.txt' >/dev/null 2>&1
(cd "$C/work" && win extract out/SETUP.EXE -d p/rel-x >/dev/null 2>"$WORK/w.err") &&
  cmp -s "$C/work/p/rel-x/OurProgramDir/manual.txt" "$LIN/x/whole/OurProgramDir/manual.txt" &&
  pass || fail "a read-only file was not replaced: $(tr -d '\r' <"$WORK/w.err")"

# An installer that another program holds open is left as it is, with no partial file.
cp "$C/work/out/d/SETUP.EXE" "$C/work/p/HELD.EXE"
cat >"$C/work/p/hold.steps" <<'EOF'
hold C:\work\p\HELD.EXE
run-quiet 5 C:\twk\twk.exe build C:\work\demo\demo.twk -o C:\work\p\HELD.EXE --arch x64
release C:\work\p\HELD.EXE
EOF
"$WINE" "$BIN/e2e/robot.exe" 'C:\work\p\hold.steps' >"$WORK/robot.log" 2>&1 &&
  cmp -s "$C/work/p/HELD.EXE" "$C/work/out/d/SETUP.EXE" &&
  [[ -z $(find "$C/work/p" -maxdepth 1 -name 'HELD.EXE.twk-partial-*') ]] &&
  pass || fail "building over an installer held open: $(tr -d '\r' <"$WORK/robot.log" | tail -3)"

# Links are never followed: a link where a folder of the tree goes is refused and nothing
# lands behind it; a link where a file goes is replaced, and what it points to kept.
mkdir -p "$WORK/behind" "$C/work/p/links/OurProgramDir" "$C/work/p/dirlink"
printf 'keep\n' >"$WORK/behind/victim"
ln -s "$WORK/behind" "$C/work/p/dirlink/OurProgramDir"
ln -s "$WORK/behind/victim" "$C/work/p/links/OurProgramDir/manual.txt"
(cd "$C/work" && win extract out/SETUP.EXE -d p/dirlink >/dev/null 2>"$WORK/w.err")
[[ $? -eq 5 && $(ls -A "$WORK/behind") == victim ]] &&
  grep -q 'is a symbolic link or not a folder' "$WORK/w.err" && pass ||
  fail "extracting through a linked folder: $(tr -d '\r' <"$WORK/w.err" | head -3)"
(cd "$C/work" && win extract out/SETUP.EXE -d p/links >/dev/null 2>&1)
[[ ! -L $C/work/p/links/OurProgramDir/manual.txt && $(cat "$WORK/behind/victim") == keep ]] &&
  cmp -s "$C/work/p/links/OurProgramDir/manual.txt" "$LIN/x/whole/OurProgramDir/manual.txt" &&
  pass || fail "a linked file was written through, or not replaced"

# The name in the ANSI code page: the Windows name, extracted by twk.exe.
(cd "$C/work" && win extract out/a/SETUP.EXE -d p/ansi >/dev/null 2>&1) &&
  cmp -s "$C/work/p/ansi/OurProgramDir/café.txt" "$C/work/ansi/café.txt" && pass ||
  fail "twk.exe did not extract café.txt under its Windows name"

# --- the Windows zip --------------------------------------------------------------------
# Unpacked into a folder with a blank in its name, its twk.exe builds its example from
# another folder with the stubs beside it, to the bytes the Linux twk makes of the same files.
version=$("$TWK" --version | cut -d' ' -f2)
python3 "$ROOT/scripts/make_windows_zip.py" --output "$WORK/twksetup.zip" \
  --folder "twksetup-$version-win64" --bin "$BIN" --readme "$ROOT/README.md" \
  --docs "$ROOT/docs" --example "$HOST_BUILD/examples/product" >/dev/null &&
  python3 -m zipfile -e "$WORK/twksetup.zip" "$C/My Tools" || fail "the zip could not be made"
unpacked="My Tools\\twksetup-$version-win64"
mkdir -p "$C/elsewhere"
if (cd "$C/elsewhere" && "$WINE" "C:\\$unpacked\\twk.exe" build "C:\\$unpacked\\example\\demo.twk" \
      -o SETUP.EXE >/dev/null 2>"$WORK/w.err" &&
    "$WINE" "C:\\$unpacked\\twk.exe" verify SETUP.EXE >/dev/null 2>>"$WORK/w.err"); then
  "$TWK" build "$C/My Tools/twksetup-$version-win64/example/demo.twk" -o "$WORK/zip-linux.EXE" \
    --stub "$BIN/stub-x86.exe" >/dev/null
  same_files "$C/elsewhere/SETUP.EXE" "$WORK/zip-linux.EXE" "the example built from the zip"
else
  fail "the unpacked twk.exe did not build its example: $(tr -d '\r' <"$WORK/w.err" | head -3)"
fi

echo "twk.exe: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
